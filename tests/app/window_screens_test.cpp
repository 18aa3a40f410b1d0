// Every window of the program on a real X screen (Xvfb, no window manager) of
// the size a stage laptop has: 800x600 or 1024x768, whichever the server was
// started with. The windows are placed by the program alone, so what is
// checked is where the program puts them: each window with a title bar on top
// lies inside the screen, and each control in it can be seen, at once or by
// scrolling. Preferences and Help open over the main window.
//
// With KELVANE_SCREENSHOTS set to a folder, a picture of the screen with each
// window is saved there (WIDTHxHEIGHT-NAME.png); the README shows some.
#include "HelpViewer.h"
#include "LightDeskView.h"
#include "MainWindowView.h"
#include "MidiSetupDialog.h"
#include "PreferencesWindow.h"
#include "SlotRig.h"
#include "StageLook.h"
#include "desktop/QtDialogs.h"
#include "desktop/QtEnvironment.h"
#include "desktop/QtPause.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

// A window manager's title bar above a window (and the bottom edge of its
// frame): room the program must leave, as it cannot see it here.
constexpr int kTitleBar = 30;

QRect screenRect() { return QGuiApplication::primaryScreen()->geometry(); }

// The window as a window manager would frame it: the frame's top left where
// the program put the window, the title bar above the window's contents.
QRect framed(const QWidget& window) { return QRect(window.pos(), window.frameGeometry().size() + QSize(0, kTitleBar)); }

bool isControl(const QWidget& widget)
{
    return qobject_cast<const QAbstractButton*>(&widget) || qobject_cast<const QAbstractSlider*>(&widget)
        || qobject_cast<const QLineEdit*>(&widget) || qobject_cast<const QComboBox*>(&widget);
}

QScrollArea* scrollAreaAround(QWidget& widget)
{
    for (QWidget* up = widget.parentWidget(); up; up = up->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(up);
            area && area->widget() && area->widget()->isAncestorOf(&widget))
            return area;
    return nullptr;
}

// Each control that is shown can be seen whole: inside the window, or inside
// the viewport of its scroll area once scrolled to. Returns the names of those
// that cannot.
std::vector<std::string> controlsOutOfReach(QWidget& window)
{
    std::vector<std::string> lost;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!isControl(*control) || !control->isVisibleTo(&window))
            continue;
        // A scroll area's own bars are how the rest is reached.
        if (qobject_cast<QScrollArea*>(control->parentWidget() ? control->parentWidget()->parentWidget() : nullptr))
            continue;
        QWidget* frame = &window;
        if (QScrollArea* area = scrollAreaAround(*control)) {
            // The whole control (ensureWidgetVisible shows only a text box's cursor).
            const QPoint centre = control->mapTo(area->widget(), control->rect().center());
            area->ensureVisible(centre.x(), centre.y(), control->width() / 2 + 1, control->height() / 2 + 1);
            QCoreApplication::processEvents();
            frame = area->viewport();
        }
        const QRect shown(control->mapTo(frame, QPoint(0, 0)), control->size());
        const QRect frameInWindow(frame->mapTo(&window, QPoint(0, 0)), frame->size());
        if (!frame->rect().contains(shown) || !window.rect().contains(frameInWindow))
            lost.push_back(control->objectName().toStdString() + " (" + control->metaObject()->className() + " at "
                + std::to_string(shown.x()) + "," + std::to_string(shown.y()) + " in " + std::to_string(frame->width())
                + "x" + std::to_string(frame->height()) + ")");
    }
    return lost;
}

void saveScreenshot(const std::string& name)
{
    const char* folder = std::getenv("KELVANE_SCREENSHOTS");
    if (!folder)
        return;
    const QRect screen = screenRect();
    const QString file
        = QString("%1/%2x%3-%4.png").arg(folder).arg(screen.width()).arg(screen.height()).arg(name.c_str());
    QGuiApplication::primaryScreen()->grabWindow(0).save(file);
}

// Shows where the window is, checks that it fits the screen and that every
// control can be reached, and takes its picture.
void checkOnScreen(QWidget& window, const std::string& name)
{
    SCOPED_TRACE(name);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    const QRect screen = screenRect();
    std::printf("window %s: %dx%d at %d,%d on a %dx%d screen\n", name.c_str(), window.width(), window.height(),
        window.x(), window.y(), screen.width(), screen.height());
    std::fflush(stdout);
    saveScreenshot(name);
    EXPECT_TRUE(screen.contains(framed(window))) << "framed " << framed(window).x() << "," << framed(window).y() << " "
                                                 << framed(window).width() << "x" << framed(window).height();
    const std::vector<std::string> lost = controlsOutOfReach(window);
    std::string names;
    for (const std::string& control : lost)
        names += " " + control;
    EXPECT_TRUE(lost.empty()) << lost.size() << " controls out of reach:" << names;
}

// The window opens over the main window: centred on it, or as near as the
// screen allows.
void checkOverMainWindow(const QWidget& window, const QWidget& mainWindow)
{
    const QRect screen = screenRect();
    QRect wanted(QPoint(0, 0), window.size());
    wanted.moveCenter(mainWindow.geometry().center());
    wanted.moveLeft(std::clamp(wanted.left(), screen.left(), screen.right() + 1 - wanted.width()));
    wanted.moveTop(std::clamp(wanted.top(), screen.top(), screen.bottom() + 1 - wanted.height() - kTitleBar));
    EXPECT_LE(std::abs(window.x() - wanted.x()), 2) << window.x() << " for " << wanted.x();
    EXPECT_LE(std::abs(window.y() - wanted.y()), 2) << window.y() << " for " << wanted.y();
}

// Runs `user` once `ready` holds, looking at every turn of whatever event
// loop is running then (a modal window's own, too).
void when(std::function<bool()> ready, std::function<void()> user)
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, ready = std::move(ready), user = std::move(user)] {
        if (!ready())
            return;
        poll->stop();
        poll->deleteLater();
        user();
    });
    poll->start();
}

bool modalIsUp(const QWidget& window) { return QApplication::activeModalWidget() == &window && window.isVisible(); }

// Every form of the program on faked ports (the MIDI output, the wave player,
// the joysticks and the preferences file), shown by the real views, message
// boxes, pause and desktop environment.
struct StageWindows {
    StageWindows()
    {
        modals.add(setup, setupView);
        mainView.addWaveSlots(kelvane.slots());
        help.setOwner(&mainView);
    }
    ~StageWindows()
    {
        help.setOwner(nullptr);
        modals.remove(setup);
    }

    fakes::FakePorts fake;
    views::QtDialogs dialogs;
    views::QtPause pause;
    views::ModalViews modals;
    views::HelpViewer help;
    views::QtEnvironment environment {modals, help, dialogs, "/nowhere"};
    RecordingSlideStep slideStep {fake.log};
    Kelvane kelvane {KelvanePorts {fake.midi, fake.midiInput, fake.waves, fake.stavik1, fake.stavik2, dialogs, pause,
                         environment, fake.keys, fake.preferencesStore, fake.midiInputStore, fake.files},
        KelvaneDoubles {.slideStep = &slideStep}};
    MidiSetupForm& setup = kelvane.midiSetup();
    MainForm& form = kelvane.mainForm();
    PreferencesForm& preferences = kelvane.preferences();
    views::MidiSetupDialog setupView {setup};
    views::MainWindowView mainView {form};
    views::PreferencesWindow preferencesView {preferences, &mainView};
    views::LightDeskView deskView {kelvane.lightingDesk()};
};

} // namespace

TEST(StageScreen, EveryWindowFitsTheScreenAndEveryControlCanBeReached)
{
    StageWindows stage;
    stage.preferences.loadShownThenHidden();

    // The first activation opens MIDI Setup modally; the user presses Ok.
    bool setupSeen = false;
    when([&] { return modalIsUp(stage.setupView); },
        [&] {
            setupSeen = true;
            checkOnScreen(stage.setupView, "midi-setup");
            stage.setup.okButton.click();
        });
    stage.mainView.loadAndShow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return stage.form.flags().startupDone == 1; }));
    EXPECT_TRUE(setupSeen);
    checkOnScreen(stage.mainView, "main");

    stage.form.menu().lightingDesk().click();
    checkOnScreen(stage.deskView, "desk");
    stage.deskView.close();

    stage.form.menu().preferences().click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return stage.preferencesView.isVisible(); }));
    checkOnScreen(stage.preferencesView, "preferences");
    checkOverMainWindow(stage.preferencesView, stage.mainView);
    stage.preferencesView.close();

    stage.form.menu().helpContents().click();
    checkOnScreen(stage.help, "help");
    checkOverMainWindow(stage.help, stage.mainView);
    QTest::keyClick(&stage.help, Qt::Key_Escape);
    EXPECT_FALSE(stage.help.isVisible()) << "Escape closes the help";

    bool aboutSeen = false;
    when([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; },
        [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            aboutSeen = true;
            checkOnScreen(*box, "about");
            box->accept();
        });
    stage.form.menu().about().click();
    EXPECT_TRUE(aboutSeen);

    // The file dialogs of Open, Save As and Load Wave, closed again unused.
    for (const bool saving : {false, true}) {
        const std::string name = saving ? "save-dialog" : "open-dialog";
        bool seen = false;
        when([] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()) != nullptr; },
            [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                seen = true;
                checkOnScreen(*dialog, name);
                dialog->reject();
            });
        if (saving)
            stage.dialogs.chooseFileToSave("Save As", "Dance Files (*.dnc);;All Files (*)", "");
        else
            stage.dialogs.chooseFileToOpen("Open", "Dance Files (*.dnc);;All Files (*)");
        EXPECT_TRUE(seen) << name;
    }
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    views::applyStageLook(app);
    return RUN_ALL_TESTS();
}
