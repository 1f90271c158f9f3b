#include "Lmconsts.h"

#include "UnitCounter.h"

namespace {

UnitCounter starts;

} // namespace

void LmconstsStartup()
{
    starts.enter();
}

void LmconstsExit()
{
    starts.leave();
}
