#include "protocol/Areas.h"

#include <stdexcept>
#include <string>

static_assert(TotalBlockCount() == 52);

const TArea &AreaFacts(int area)
{
    if (!IsArea(area))
        throw std::out_of_range("no memory area " + std::to_string(area));
    return kAreas[static_cast<std::size_t>(area)];
}

namespace {

constexpr bool NumberedInOrder()
{
    for (int i = 0; i < frame::kAreaCount; ++i)
        if (kAreas[static_cast<std::size_t>(i)].number != i)
            return false;
    return true;
}
static_assert(NumberedInOrder(), "kAreas is indexed by area number");

}  // namespace
