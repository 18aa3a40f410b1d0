// Saves the preferences again and again, switching sw1 between "Next" and
// "Off" each time, until it is killed. Prints "ready" once the first save is
// on disk. Used to kill a save at random moments.
#include "fakes/EffectLog.h"
#include "fakes/FakeDesktop.h"
#include "files/PreferencesFile.h"
#include "files/PreferencesForm.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: preferences_save_loop FOLDER\n", stderr);
        return 2;
    }
    kelvane::fakes::EffectLog log;
    kelvane::fakes::FakeDialogs dialogs(log);
    kelvane::files::PreferencesFile file(argv[1]);
    kelvane::PreferencesForm form(file, dialogs);
    form.load();
    form.saveButton.click();
    std::puts("ready");
    std::fflush(stdout);
    for (bool off = true;; off = !off) {
        (off ? form.offOption(1) : form.nextOption(1)).click();
        form.saveButton.click();
        if (!log.entries().empty()) {
            std::fprintf(stderr, "%s\n", log.entries().front().c_str());
            return 1;
        }
    }
}
