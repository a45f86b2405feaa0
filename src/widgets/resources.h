#pragma once

namespace vorelia::widgets {

// Makes the program's compiled-in pictures (":/pictures/...", ":/glyphs/...", ":/icons/...")
// available. Safe to call any number of times.
void InitWidgetResources();

}  // namespace vorelia::widgets
