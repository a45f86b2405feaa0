#include "dbf/dbf_errors.h"

#include <cstdio>

namespace vorelia::dbf {

std::string FileNotFoundMessage(const std::string& fileName) {
  return "Open: file not found: \"" + fileName + "\".";
}

std::string InvalidFieldCountMessage(int count) {
  return "Invalid field count: " + std::to_string(count) + " (must be between 1 and 4095).";
}

std::string FieldTypeNotSupportedMessage(const std::string& fieldName, int typeOrdinal) {
  char hex[16];
  std::snprintf(hex, sizeof(hex), "%x", static_cast<unsigned>(typeOrdinal));
  return "Cannot create field \"" + fieldName + "\", field type " + hex + " not supported by DBF.";
}

std::string KeyViolationMessage(const std::string& tagName, int recordNo, const std::string& key) {
  return "Key violation. (Key already present in file).\r\nIndex: " + tagName +
         "\r\nRecord=" + std::to_string(recordNo) + " Key='" + key + "'.";
}

std::string DamagedFileMessage(const std::string& fileName, const std::string& problem) {
  return "Invalid DBF file \"" + fileName + "\": " + problem + ".";
}

}  // namespace vorelia::dbf
