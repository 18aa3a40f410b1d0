// Saves the main window's setup to the file named on the command line over
// and over, alternating between two setups, until it is killed. Prints
// "ready" once the first save is about to start.

#include "FilesRig.h"
#include "KillDuringSave.h"
#include "files/LocalFileStore.h"

#include <cstdio>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

void show(FilesRig& r, const PerformanceSetup& s)
{
    r.sw(1).note.setValue(s.switches[0].note);
    r.slots.slot(1).path = s.slots[0].path;
    r.slots.slot(1).name = s.slots[0].name;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: save_victim FILE\n", stderr);
        return 2;
    }
    FilesRig r;
    files::LocalFileStore disk;
    PerformanceFileCommands commands(
        r.rig.form, r.rig.form.switches(), r.setup, r.slots, PerformanceFilePorts {r.rig.midi, r.rig.dialogs, disk});
    r.rig.dialogs.files.push_back(std::string(argv[1]));
    const PerformanceSetup setups[] = {killSetupShort(), killSetupLong()};
    std::puts("ready");
    std::fflush(stdout);
    bool first = true;
    for (unsigned i = 0;; ++i) {
        show(r, setups[i % 2]);
        if (first)
            commands.saveAs();
        else
            commands.save();
        first = false;
        if (!r.log().startingWith("message").empty())
            return 1; // a save failed: the test reports it
        r.log().clear();
    }
}
