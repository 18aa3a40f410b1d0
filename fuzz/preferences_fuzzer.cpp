// libFuzzer target: any bytes as kelvane.dat. Decoding never fails badly, a
// complete decode encodes back to the very bytes it read, and the
// preferences window's read and write over the bytes keep their promises.
#include "fakes/EffectLog.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakePreferencesStore.h"
#include "files/PreferenceRecord.h"
#include "files/PreferencesForm.h"

#include <cstdlib>

using namespace kelvane;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const DecodedPreferences decoded = decodePreferences(bytes);
    if (decoded.complete) {
        const std::vector<std::uint8_t> encoded = encodePreferences(decoded.record);
        // The bytes of the entries read, then two bytes per entry past the end.
        const std::size_t read = std::min(encoded.size(), size);
        require(std::equal(encoded.begin(), encoded.begin() + static_cast<std::ptrdiff_t>(read), data));
        for (std::size_t i = read; i < encoded.size(); ++i)
            require(encoded[i] == 0);
        require(decodePreferences(encoded).record == decoded.record);
    } else {
        require(decoded.brokenEntry < kPreferenceEntryCount);
    }

    fakes::EffectLog log;
    fakes::FakeDialogs dialogs(log);
    fakes::FakePreferencesStore store(log);
    store.bytes = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    PreferencesForm form(store, dialogs);
    int clicks = 0;
    form.onAdvancedAudio([&clicks](bool) { ++clicks; });
    form.load();
    require(clicks <= 1);
    for (int n = 1; n <= kPreferenceSwitchCount; ++n) {
        const SlideOptions o = form.slideOptions(n);
        require(o.next + o.previous + o.off <= 1);
    }

    // Saving writes a readable record that reads back to the same settings,
    // and never shortens the file.
    form.saveButton.click();
    require(store.bytes && store.bytes->size() >= size);
    const DecodedPreferences saved = decodePreferences(*store.bytes);
    require(saved.complete);
    PreferencesForm reader(store, dialogs);
    reader.load();
    for (int n = 1; n <= kPreferenceSwitchCount; ++n) {
        const SlideOptions a = form.slideOptions(n);
        const SlideOptions b = reader.slideOptions(n);
        const bool none = !a.next && !a.previous && !a.off;
        // A switch left with no choice by a broken read is written all
        // false, which reads back as "Next".
        require(none ? b.next : (a.next == b.next && a.previous == b.previous && a.off == b.off));
    }
    require(reader.advancedAudio.value() == form.advancedAudio.value());
    return 0;
}
