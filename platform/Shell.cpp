#include "Shell.h"

#include "XdgShell.h"

namespace {

Shell *installed = nullptr;

} // namespace

Shell::~Shell() = default;

Shell &Shell::current()
{
    static XdgShell desktop;
    return installed ? *installed : desktop;
}

void Shell::setCurrent(Shell *shell)
{
    installed = shell;
}
