#include "dbf/index_seam.h"

#include <atomic>

namespace vorelia::dbf {
namespace {

std::atomic<TIndexFactory*> g_defaultFactory{nullptr};

}  // namespace

void SetDefaultIndexFactory(TIndexFactory* factory) { g_defaultFactory = factory; }

TIndexFactory* DefaultIndexFactory() { return g_defaultFactory; }

}  // namespace vorelia::dbf
