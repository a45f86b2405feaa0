#pragma once

#include <string>

#include "report/core/page_canvas.h"
#include "report/core/page_recording.h"

namespace vorelia::report {

// A print job as a run of sheets to draw on. BeginJob opens the first sheet and NewSheet ends a
// sheet and opens the next; failures of the platform throw.
class TPrintJob {
 public:
  virtual ~TPrintJob() = default;

  virtual bool JobRunning() const = 0;
  virtual void BeginJob(const std::string& title) = 0;
  virtual void NewSheet() = 0;
  virtual void EndJob() = 0;
  virtual void AbortJob() = 0;
  // The open sheet's surface in printer pixels, origin at the printable area's corner; valid
  // while a job runs.
  virtual TPageCanvas& Canvas() = 0;
  // Draws a stored page stretched over the open sheet's printable area.
  virtual void PlayPage(const TPageRecording& page) = 0;
};

}  // namespace vorelia::report
