#include "files/PreferencesForm.h"

namespace kelvane {

namespace {
constexpr int kGreyState = 2;
} // namespace

PreferencesForm::PreferencesForm(PreferencesStore& store, Dialogs& dialogs) :
    Window("frmPref", "Kelvane Preferences"), store_(store), dialogs_(dialogs)
{
    setSize(560, 260);
    adopt(heading);
    for (int n = 1; n <= kPreferenceSwitchCount; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        adopt(frames[i]);
        for (OptionButton* option : {&next[i], &previous[i], &off[i]}) {
            groups_[i].add(*option);
            adopt(*option);
        }
    }
    for (Control* c : std::initializer_list<Control*> {
             &nextLabel, &previousLabel, &offLabel, &separator, &advancedAudioLabel, &advancedAudio, &saveButton})
        adopt(*c);

    setDesignValues();
    advancedAudio.onChange([this] { advancedAudioClicked(); });
    saveButton.onClick([this] { write(); });
}

// "Next" for every switch and the advanced audio controls shown, as the
// window is designed. Setting them runs no click action: a window being
// created raises no events.
void PreferencesForm::setDesignValues()
{
    settingDesignValues_ = true;
    for (OptionButton& option : next)
        option.setValue(true);
    advancedAudio.setValue(1);
    settingDesignValues_ = false;
    record_ = PreferenceRecord {};
}

void PreferencesForm::load()
{
    if (loaded_)
        return;
    if (everLoaded_)
        setDesignValues();
    loaded_ = true;
    everLoaded_ = true;
    read();
}

void PreferencesForm::loadShownThenHidden()
{
    load();
    setVisible(true);
    setVisible(false);
}

void PreferencesForm::show()
{
    load();
    setVisible(true);
}

void PreferencesForm::close()
{
    if (write())
        loaded_ = false;
}

SlideOptions PreferencesForm::slideOptions(int switchNumber)
{
    load();
    return {nextOption(switchNumber).value(), previousOption(switchNumber).value(), offOption(switchNumber).value()};
}

// A file that cannot be read, or holds an entry of a kind that cannot be
// read, changes nothing. Otherwise the entries are applied in order until
// one does not convert; the controls set before it keep their new values.
// Every switch then left without a choice gets "Next".
void PreferencesForm::read()
{
    const PreferencesStore::Contents contents = store_.read();
    if (contents.status == PreferencesStore::Contents::Status::Unreadable)
        return;
    const DecodedPreferences decoded = decodePreferences(contents.bytes);
    if (!decoded.complete)
        return;
    record_ = decoded.record;
    applyRecord();
    // Even after a read that stopped early: a switch without a choice would
    // type nothing, or repeat the previous switch's key.
    for (int n = 1; n <= kPreferenceSwitchCount; ++n) {
        if (!nextOption(n).value() && !previousOption(n).value() && !offOption(n).value())
            nextOption(n).setValue(true);
    }
}

bool PreferencesForm::applyRecord()
{
    for (int n = 1; n <= kPreferenceSwitchCount; ++n) {
        for (auto [option, entry] : {std::pair {&nextOption(n), nextEntry(n)},
                 std::pair {&previousOption(n), previousEntry(n)}, std::pair {&offOption(n), offEntry(n)}}) {
            const std::optional<bool> selected = record_[entry].toBoolean();
            if (!selected)
                return false;
            option->setValue(*selected);
        }
    }
    const std::optional<std::int32_t> shown = record_[kAdvancedAudioEntry].toInteger();
    if (!shown || *shown < 0 || *shown > kGreyState)
        return false;
    // The grey state is not one this check box takes: it stays as it is.
    if (*shown != kGreyState)
        advancedAudio.setValue(*shown);
    return true;
}

bool PreferencesForm::write()
{
    for (int n = 1; n <= kPreferenceSwitchCount; ++n) {
        record_[nextEntry(n)] = PreferenceEntry::boolean(nextOption(n).value());
        record_[previousEntry(n)] = PreferenceEntry::boolean(previousOption(n).value());
        record_[offEntry(n)] = PreferenceEntry::boolean(offOption(n).value());
    }
    record_[kAdvancedAudioEntry] = PreferenceEntry::integer(static_cast<std::int16_t>(advancedAudio.value()));

    const PreferencesStore::Contents onDisk = store_.read();
    const std::vector<std::uint8_t> bytes = overlayPreferences(onDisk.status == PreferencesStore::Contents::Status::Read
            ? std::span<const std::uint8_t>(onDisk.bytes)
            : std::span<const std::uint8_t>(),
        encodePreferences(record_));
    const std::string problem = store_.write(bytes);
    if (!problem.empty()) {
        dialogs_.showMessage("The preferences could not be saved to " + store_.location() + ".\n" + problem
                + "\nThe settings stay in effect until Kelvane ends.",
            MessageIcon::Warning, MessageButtons::Ok, caption());
        return false;
    }
    setVisible(false);
    return true;
}

void PreferencesForm::advancedAudioClicked()
{
    if (settingDesignValues_ || !advancedAudio_)
        return;
    if (advancedAudio.value() == 0)
        advancedAudio_(false);
    else if (advancedAudio.value() == 1)
        advancedAudio_(true);
}

} // namespace kelvane
