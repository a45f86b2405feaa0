#include "widgets/resources.h"

#include <QtGlobal>

// Outside any namespace, as the resource initialiser requires.
static void InitAssets() { Q_INIT_RESOURCE(assets); }

namespace vorelia::widgets {

void InitWidgetResources() {
  static const bool done = [] {
    InitAssets();
    return true;
  }();
  (void)done;
}

}  // namespace vorelia::widgets
