#pragma once

#include <string>

#include "platform/errors.h"

namespace vorelia::dbf {

// Failures of the table engine: invalid files, locked records, index errors.
class EDbfError : public EVoreliaError {
 public:
  VORELIA_RAISE_SITE explicit EDbfError(const std::string& message) : EVoreliaError(message) {}
};

// A write failed; raised after the record count and the indexes were rolled back.
class EDbfWriteError : public EDbfError {
 public:
  VORELIA_RAISE_SITE explicit EDbfWriteError(const std::string& message) : EDbfError(message) {}
};

// The engine's message texts.
inline constexpr const char* kMsgInvalidDbfFile = "Invalid DBF file.";
inline constexpr const char* kMsgRecordLocked = "Record locked.";
inline constexpr const char* kMsgNeedExclusive = "Exclusive access is required for this operation.";
inline constexpr const char* kMsgWriteError = "Error while writing occurred. (Disk full?)";
inline constexpr const char* kMsgWriteIndexError =
    "Error while writing occurred; indexes probably corrupted. (Disk full?)";

// "Open: file not found: "<name>"."
std::string FileNotFoundMessage(const std::string& fileName);
// "Invalid field count: <n> (must be between 1 and 4095)."
std::string InvalidFieldCountMessage(int count);
// "Cannot create field "<name>", field type <hex> not supported by DBF."
std::string FieldTypeNotSupportedMessage(const std::string& fieldName, int typeOrdinal);
// "Key violation. (Key already present in file).\r\nIndex: <tag>\r\nRecord=<n> Key='<key>'."
std::string KeyViolationMessage(const std::string& tagName, int recordNo, const std::string& key);
// A damaged file: names the file and what is wrong with it.
std::string DamagedFileMessage(const std::string& fileName, const std::string& problem);

}  // namespace vorelia::dbf
