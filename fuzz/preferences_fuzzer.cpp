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

    // One window and one reader for the whole run: each input unloads them
    // (their close box) and loads them again from their design values.
    static fakes::EffectLog log;
    static fakes::FakeDialogs dialogs(log);
    static fakes::FakePreferencesStore store(log);
    static PreferencesForm form(store, dialogs);
    static PreferencesForm reader(store, dialogs);
    static int clicks = 0;
    static const bool wired = [] {
        form.onAdvancedAudio([](bool) { ++clicks; });
        return true;
    }();
    (void)wired;
    if (form.loaded())
        form.close();
    if (reader.loaded())
        reader.close();
    log.clear();
    clicks = 0;

    store.bytes = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    form.load();
    require(clicks <= 1);
    for (int n = 1; n <= kPreferenceSwitchCount; ++n) {
        const SlideOptions o = form.slideOptions(n);
        require(o.next + o.previous + o.off == 1);
    }

    // Saving writes a readable record that reads back to the same settings,
    // and never shortens the file.
    form.saveButton.click();
    require(store.bytes && store.bytes->size() >= size);
    require(decodePreferences(*store.bytes).complete);
    reader.load();
    for (int n = 1; n <= kPreferenceSwitchCount; ++n) {
        const SlideOptions a = form.slideOptions(n);
        const SlideOptions b = reader.slideOptions(n);
        require(a.next == b.next && a.previous == b.previous && a.off == b.off);
    }
    require(reader.advancedAudio.value() == form.advancedAudio.value());
    return 0;
}
