#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/core/print_job.h"

namespace vorelia::report {

// Platform codes of the device settings block.
inline constexpr int kDuplexSimplex = 1;
inline constexpr int kDuplexVertical = 2;
inline constexpr int kDuplexHorizontal = 3;
inline constexpr int kOrientationPortrait = 1;
inline constexpr int kOrientationLandscape = 2;
inline constexpr int kPaperCodeUser = 256;  // a user-defined size, given in tenths of a mm
inline constexpr int kSourceDriverFlag = 256;

struct TDeviceNames {
  std::string Device;
  std::string Driver;
  std::string Port;
};

// The settings a printer driver keeps for the selected printer.
struct TDeviceSettings {
  int PaperCode = 0;  // 0: a size with no platform code
  // Tenths of a millimetre; the size when PaperCode is kPaperCodeUser.
  int PaperWidth = 0;
  int PaperLength = 0;
  int DefaultSource = 0;
  int Duplex = kDuplexSimplex;
  int Copies = 1;
  int Orientation = kOrientationPortrait;
};

// Which settings the selected printer lets a program change.
struct TPrinterCapabilities {
  bool Copies = false;
  bool Bins = false;
  bool Duplex = false;
  bool PaperSize = false;
  bool Orientation = false;
};

// The selected printer's page in device pixels: the unprintable left and top margins and the
// whole sheet.
struct TPhysicalPage {
  int OffsetX = 0;
  int OffsetY = 0;
  int Width = 0;
  int Height = 0;
};

// One printer object of the platform: the printers it can select, the selected one's settings
// and capabilities, and print jobs on it. The printing layer implements it over the system's
// printers; tests over a fake.
class TPlatformPrinter : public TPrintJob {
 public:
  virtual std::vector<std::string> PrinterNames() const = 0;
  // True while it prints into a file instead of on a listed printer; it can then print when the
  // platform lists no printer at all.
  virtual bool PrintsToFile() const { return false; }
  // The selected printer among PrinterNames, -1 when none is.
  virtual int PrinterIndex() const = 0;
  // Selects printer index (-1: the system's default) with its driver's default settings.
  virtual void SelectPrinter(int index) = 0;

  virtual TDeviceNames Names() const = 0;
  // Nothing when the driver has no settings block to give (yet).
  virtual std::optional<TDeviceSettings> DeviceSettings() const = 0;
  virtual void SetDeviceSettings(const TDeviceSettings& settings) = 0;
  virtual TPrinterCapabilities Capabilities() const = 0;
  virtual std::vector<int> PaperCodes() const = 0;
  virtual int ResolutionX() const = 0;
  virtual int ResolutionY() const = 0;
  virtual TPhysicalPage PhysicalPage() const = 0;
};

}  // namespace vorelia::report
