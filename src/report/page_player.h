#pragma once

#include "report/core/page_recording.h"

class QImage;
class QPainter;
class QRectF;

namespace vorelia::report {

// Replays a stored page onto any painter (preview image, PDF, printer sheet), scaled so that the
// whole page fills target, in the painter's coordinates. Drawing stays inside target.
void PlayPage(const TPageRecording& page, QPainter& painter, const QRectF& target);

// The page drawn on a white image at zoom percent of its own size, or smaller when that image
// would pass 40 million pixels.
QImage RenderPage(const TPageRecording& page, int zoomPercent);

}  // namespace vorelia::report
