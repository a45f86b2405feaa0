#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "report/core/page_canvas.h"
#include "report/qr_frame.h"
#include "report/qr_unit_base.h"

namespace vorelia::report {

class TQRController;
class TQRCustomReport;
class TQRPrintable;

// Band roles; the numeric value of each member is its stored value.
enum class TQRBandType {
  rbTitle,
  rbPageHeader,
  rbDetail,
  rbPageFooter,
  rbSummary,
  rbGroupHeader,
  rbGroupFooter,
  rbSubDetail,
  rbColumnHeader,
  rbOverlay,
  rbChild
};

class TQRChildBand;

// A horizontal strip of a report that prints its printables, in the order they were added,
// whenever composition prints the band. The band owns its printables; the report owns bands.
class TQRCustomBand {
 public:
  using TBeforePrintEvent = std::function<void(TQRCustomBand& band, bool& printBand)>;
  using TAfterPrintEvent = std::function<void(TQRCustomBand& band, bool bandPrinted)>;

  TQRCustomBand(std::string name, TQRBandType type);
  virtual ~TQRCustomBand();
  TQRCustomBand(const TQRCustomBand&) = delete;
  TQRCustomBand& operator=(const TQRCustomBand&) = delete;

  const std::string& Name() const { return m_name; }
  TQRBandType BandType() const { return m_type; }
  // Changing the type re-sorts the report's band list.
  void SetBandType(TQRBandType type);
  TQRCustomReport* ParentReport() const { return m_report; }
  void SetParentReport(TQRCustomReport* report) { m_report = report; }

  TQRBandSize& Size() { return m_size; }
  const TQRBandSize& Size() const { return m_size; }
  const TQRPixelBounds& Bounds() const { return m_bounds; }
  // Pixel height; the stored height follows.
  void SetHeight(int pixels);

  TColor Color = clWhite;
  bool Enabled = true;
  bool ForceNewPage = false;
  bool ForceNewColumn = false;
  bool AlignToBottom = false;
  TQRFrame& Frame() { return m_frame; }
  const TQRFrame& Frame() const { return m_frame; }
  // Font of printables with ParentFont; the band itself follows the report unless ParentFont
  // is cleared.
  bool ParentFont = true;
  TCanvasFont OwnFont;
  TCanvasFont Font() const;
  int Zoom() const;

  TBeforePrintEvent BeforePrint;
  TAfterPrintEvent AfterPrint;

  // A band kept on the same page as this one. Refuses a band that would close a loop.
  TQRCustomBand* LinkBand() const { return m_linkBand; }
  bool SetLinkBand(TQRCustomBand* band);

  TQRChildBand* ChildBand() const { return m_child; }
  bool HasChild() const { return m_child != nullptr; }
  // Creates the child band on the report, or removes it.
  void SetHasChild(bool hasChild);

  // Takes a printable; it prints after the ones added before it.
  template <typename P>
  P& Add(std::unique_ptr<P> printable) {
    P& result = *printable;
    AddPrintable(std::move(printable));
    return result;
  }
  void AddPrintable(std::unique_ptr<TQRPrintable> printable);
  const std::vector<std::unique_ptr<TQRPrintable>>& Printables() const { return m_printables; }
  TQRPrintable* FindPrintable(const std::string& name) const;

  // Run state: the extra height stretching labels added in this printing, the controller to
  // notify when the band prints (set on a detail band) and the band's device rectangle.
  double Expanded = 0;
  TQRController* NotifyController = nullptr;
  TCanvasRect BandRect;

  // Height in tenths of a millimetre, independent of the display unit.
  double NativeHeight() const { return m_size.Native(TQRBandSize::kHeight); }
  double NativeWidth() const { return m_size.Native(TQRBandSize::kWidth); }

 private:
  friend class TQRChildBand;
  friend class TQRCustomReport;

  std::string m_name;
  TQRBandType m_type;
  TQRCustomReport* m_report = nullptr;
  TQRPixelBounds m_bounds;
  TQRBandSize m_size;
  TQRFrame m_frame;
  TQRCustomBand* m_linkBand = nullptr;
  TQRChildBand* m_child = nullptr;
  std::vector<std::unique_ptr<TQRPrintable>> m_printables;
};

// A band with a selectable type.
class TQRBand : public TQRCustomBand {
 public:
  explicit TQRBand(std::string name, TQRBandType type = TQRBandType::rbTitle)
      : TQRCustomBand(std::move(name), type) {}
};

// A band printed right after its parent band.
class TQRChildBand : public TQRCustomBand {
 public:
  explicit TQRChildBand(std::string name) : TQRCustomBand(std::move(name), TQRBandType::rbChild) {}
  ~TQRChildBand() override;

  TQRCustomBand* ParentBand() const { return m_parent; }
  // Refuses a parent that would close a loop of parents.
  bool SetParentBand(TQRCustomBand* parent);

 private:
  friend class TQRCustomBand;
  TQRCustomBand* m_parent = nullptr;
};

}  // namespace vorelia::report
