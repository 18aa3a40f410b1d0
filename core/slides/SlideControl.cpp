#include "slides/SlideControl.h"

namespace kelvane {

namespace {
constexpr const char* kNextSlideKey = "n";
constexpr const char* kPreviousSlideKey = "p";
constexpr const char* kModeOnCaption = "Controlling PowerPoint Now!";
constexpr const char* kModeOffCaption = "Kelvane";
} // namespace

SlideControl::SlideControl(SlideChoices& choices, Keystrokes& keys, Dialogs& dialogs) :
    choices_(choices), keys_(keys), dialogs_(dialogs)
{
}

void SlideControl::send(int switchNumber)
{
    const SlideOptions options = choices_.slideOptions(switchNumber);
    // In this order, so that of two selected choices the later one wins; with
    // none selected the key of the last press stays.
    if (options.next)
        slideKey_ = kNextSlideKey;
    if (options.previous)
        slideKey_ = kPreviousSlideKey;
    if (options.off)
        slideKey_.clear();
    sendSlideKey();
}

void SlideControl::sendSlideKey()
{
    if (on_ && !slideKey_.empty())
        keys_.type(slideKey_);
}

void SlideControl::setOn(bool on)
{
    on_ = on;
    if (on && !keys_.available() && !toldUnavailable_) {
        toldUnavailable_ = true;
        dialogs_.showMessage("Slide control cannot type into other programs here: " + keys_.unavailableReason()
                + "\nThe switches play on as usual, without slide keys.",
            MessageIcon::Warning, MessageButtons::Ok, "");
    }
}

SlideModeCommand::SlideModeCommand(MenuItem& item, Window& mainWindow, SlideControl& slides) :
    item_(item), mainWindow_(mainWindow), slides_(slides)
{
    item_.onClick([this] { toggle(); });
}

void SlideModeCommand::toggle()
{
    const bool turningOn = !item_.checked();
    item_.setChecked(turningOn);
    mainWindow_.setCaption(turningOn ? kModeOnCaption : kModeOffCaption);
    slides_.setOn(turningOn);
}

} // namespace kelvane
