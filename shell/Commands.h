#pragma once
// The main window's command set: one table of commands from which every action, the main
// menu, the two tool bars and the properties-panel menu are built. Each action runs its
// operation through ICommandHost; enabled and checked marks are read back from the host.

#include "shell/CommandHost.h"

#include <QIcon>
#include <QObject>

#include <array>
#include <span>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;

// Actions that are checked as one of a set.
enum class TRadioGroup { None, BasePicker, WorkAreaView, ColorVision, PaletteView, PropertiesPosition };

// One row of the command table.
struct TCommandDef {
    TCommandId Id;
    const char* Name; // object name of the action ("atnFileOpen")
    const char* Category; // as the action list groups them
    const char* Caption;
    const char* Hint; // tool tip and status-bar text
    const char* Shortcut; // portable key text ("Ctrl+Shift+N"), empty when none
    const char* Icon; // key of a drawn tool-bar glyph, empty when none
    TRadioGroup Group;
    int Arg; // page id, picker, colour model, vision mode or position the command passes on
    // The operation; nullptr for a command whose operation comes with a later part of the
    // program (its action exists and stays disabled).
    void (*Run)(ICommandHost& host, const TCommandDef& def);
    // The checked mark from the host's state; nullptr for actions that are not checkable.
    bool (*Checked)(const TCommandState& state, const TCommandDef& def);
    // Disabled by design whatever the host says ("None" picker, "HSL mode").
    bool AlwaysDisabled = false;
};

class TMainCommands : public QObject {
    Q_OBJECT
public:
    // The actions are children of `parent`; Install() puts them into a window.
    TMainCommands(ICommandHost& host, QObject* parent = nullptr);
    ~TMainCommands() override;

    static std::span<const TCommandDef> Table();
    static const TCommandDef& Def(TCommandId id);

    QAction* Action(TCommandId id) const;
    // By object name ("atnFileOpen"); nullptr when no action has that name.
    QAction* Action(const QString& name) const;

    // Builds the main menu and both tool bars into the window and adds every action to it,
    // so shortcuts of actions that sit in no visible menu still work.
    void Install(QMainWindow& window);
    void BuildMainMenu(QMenuBar& bar);
    // The properties panel's button menu: "Advanced Mode", "Position" > "Top" / "Bottom".
    void FillPropertiesMenu(QMenu& menu);
    // The palette panel's caption-bar menu: saving, the palette commands, the view modes,
    // sorting, snapping, removing colours and Clear Palette.
    void FillPaletteMenu(QMenu& menu);
    // The swatch context menu. Returns its "Copy Color Value" submenu, which the host fills
    // for the swatch under the menu each time it opens.
    QMenu* FillSwatchMenu(QMenu& menu);

    QToolBar* FileToolBar() const { return FFileBar; }
    QToolBar* ViewToolBar() const { return FViewBar; }
    // "Reopen" under File.
    QMenu* ReopenMenu() const { return FReopenMenu; }
    // Lists the files, most recent first, as "&1 path", "&2 path" ...; choosing one asks
    // the host to open it. Disabled when the list is empty.
    void SetRecentFiles(const QStringList& files);
    // Shows or hides the whole tool-bar dock (both bars).
    void SetToolBarsVisible(bool visible);

    // Re-reads enabled and checked marks from the host. The host calls it after it changed
    // state by other ways than these actions (settings read, page switched by a movie ...).
    void UpdateStates();
    // Runs a command as its action would (nothing when the action is disabled); the main
    // menu page's links run the actions of their captions this way.
    bool Run(TCommandId id);

    // Whether clipboard text is a hex colour Paste Hex Color Value accepts: after trimming,
    // at least two characters that, less one leading "#", read as a non-negative hex number.
    static bool IsPastableHexText(const QString& text);
    // The glyph of a tool-bar button, drawn at 1x and 2x.
    static QIcon CommandIcon(const QString& key);

    static const QString WebSiteUrl;
    static const QString SupportUrl;
    static const QString BrowserFailedMessage;

private:
    void Triggered(TCommandId id);

    ICommandHost& FHost;
    std::array<QAction*, static_cast<size_t>(TCommandId::Count)> FActions {};
    QActionGroup* FGroups[6] {};
    QToolBar* FFileBar = nullptr;
    QToolBar* FViewBar = nullptr;
    QMenu* FReopenMenu = nullptr;
};
