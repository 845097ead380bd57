// The chapters that record-class families add to the demo, in the order they run.
#include "app/demo_narrator.h"

namespace mz::app {

const std::vector<DemoChapter>& DemoChapters() {
    static const std::vector<DemoChapter> chapters = {};
    return chapters;
}

}  // namespace mz::app
