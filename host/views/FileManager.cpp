#include "host/views/FileManager.h"

#include "far3/FarKeysW.h"
#include "host/app/HostError.h"
#include "host/text/HostText.h"
#include "host/views/PanelView.h"

#include <algorithm>
#include <numeric>

namespace Host {

namespace {

namespace Vk = Far3::VirtualKey;

bool IsFolder(const PanelItem& item)
{
    return (item.Attributes & Far3::FileAttribute::Directory) != 0;
}

KeyLabels PanelKeys()
{
    KeyLabels labels;
    labels[3] = u"Edit";
    labels[9] = u"Quit";
    labels[10] = u"Plugin";
    return labels;
}

// The menu of the plugins' entries, sorted by text as Far sorts them;
// `order` maps each line to the entry's index.
MenuBox EntriesMenu(std::u16string title, const std::vector<PluginMenuEntry>& entries, std::vector<size_t>& order)
{
    order.resize(entries.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return entries[a].Text < entries[b].Text; });
    MenuBox menu;
    menu.Title = std::move(title);
    for (size_t index : order)
        menu.Items.push_back(entries[index].Text);
    return menu;
}

} // namespace

FileManager::FileManager(StandInHost& host, FullScreenFrontEnd& screen) : Host(host), Screen(screen)
{
    Screen.SetBackground([this](ScreenBuffer& buffer) { Paint(buffer); });
}

FileManager::~FileManager()
{
    Screen.SetBackground({});
}

size_t FileManager::ItemRows() const
{
    const ScreenSize size = Screen.Screen().value_or(ScreenSize{});
    return static_cast<size_t>(std::max(1, PanelLayout(size.Width, size.Height).ItemRows));
}

void FileManager::Paint(ScreenBuffer& screen)
{
    Panel& active = Host.ActivePanel();
    const size_t rows = static_cast<size_t>(PanelLayout(screen.Width(), screen.Height()).ItemRows);
    ActiveTop = ScrollTop(ActiveTop, active.CurrentItem(), rows, active.Items().size());
    PaintPanels(screen, PanelPicture{&active, ActiveTop, true}, PanelPicture{&Host.PassivePanel(), 0, false},
                PanelKeys());
}

void FileManager::Run()
{
    for (;;) {
        Screen.Refresh();
        const ConsoleEvent event = Screen.Read();
        if (event.What == ConsoleEvent::Kind::Closed)
            return;
        // Whatever happens next redraws the panels.
        Screen.ForgetLooseBoxes();
        if (event.What == ConsoleEvent::Kind::Key && !HandleKey(event.Key))
            return;
        if (Screen.ConsoleClosed())
            return;
    }
}

void FileManager::MoveCursor(long long delta)
{
    Panel& panel = Host.ActivePanel();
    if (panel.Items().empty())
        return;
    const long long last = static_cast<long long>(panel.Items().size()) - 1;
    const long long target = std::clamp(static_cast<long long>(panel.CurrentItem()) + delta, 0LL, last);
    panel.SetCurrentItem(static_cast<size_t>(target));
}

void FileManager::ToggleAndMove(long long delta)
{
    Panel& panel = Host.ActivePanel();
    const size_t current = panel.CurrentItem();
    if (current < panel.Items().size())
        panel.Select(current, !panel.Items()[current].Selected);
    MoveCursor(delta);
}

// how: 1 select all files, 0 none, -1 invert (folders are left alone, as
// Far's default selection mask does).
void FileManager::SelectFiles(int how)
{
    Panel& panel = Host.ActivePanel();
    for (size_t i = 0; i < panel.Items().size(); ++i) {
        const PanelItem& item = panel.Items()[i];
        if (how == 0)
            panel.Select(i, false);
        else if (!IsFolder(item))
            panel.Select(i, how > 0 ? true : !item.Selected);
    }
}

void FileManager::ShowError(const std::string& title, const std::string& text)
{
    Screen.ShowMessage(MessageBox{Far3::FMSG_WARNING, title, {text}, {"OK"}});
}

void FileManager::EnterItem()
{
    Panel& panel = Host.ActivePanel();
    if (panel.CurrentItem() >= panel.Items().size() || panel.Folder().empty())
        return;
    const PanelItem& item = panel.Items()[panel.CurrentItem()];
    if (!IsFolder(item))
        return;
    const std::filesystem::path from = panel.Folder();
    const std::filesystem::path target = item.IsParentLink() ? from.parent_path() : from / PathFromUtf16(item.Name);
    std::error_code error;
    std::filesystem::directory_iterator probe(target, error);
    if (error) {
        ShowError("Error", "Cannot read the folder " + target.string() + ": " + error.message());
        return;
    }
    panel.ShowFolder(target);
    ActiveTop = 0;
    // Coming up from a folder, the cursor stays on it.
    if (item.IsParentLink())
        if (auto index = panel.Find(PathToUtf16(from.filename())))
            panel.SetCurrentItem(*index);
}

void FileManager::EditItem()
{
    Panel& panel = Host.ActivePanel();
    if (panel.CurrentItem() >= panel.Items().size() || panel.Folder().empty())
        return;
    const PanelItem& item = panel.Items()[panel.CurrentItem()];
    if (IsFolder(item))
        return;
    // The host's editor service, as a plugin's Editor() call reaches it.
    EditorWindow request;
    request.FileName = panel.Folder() / PathFromUtf16(item.Name);
    request.CodePage = Far3::CodePage::Utf8;
    request.Flags = Far3::EF_DISABLEHISTORY | Far3::EF_DISABLESAVEPOS;
    Host.Editors().Open(request, panel.Folder());
    panel.Update(true);
}

void FileManager::AfterPlugin()
{
    Host.ActivePanel().Update(true);
    Host.PassivePanel().Update(true);
    for (const EditorWindow& editor : Screen.TakeWaitingEditors()) {
        Screen.RunEditor(editor);
        Host.CloseEditor(editor.Id);
    }
}

void FileManager::PluginsMenu()
{
    std::vector<size_t> order;
    MenuBox menu = EntriesMenu(u"Plugin commands", Host.Menus().PluginMenu, order);
    const intptr_t line = Screen.RunMenu(menu);
    if (line < 0 || static_cast<size_t>(line) >= order.size())
        return;
    try {
        Host.Open(order[static_cast<size_t>(line)]);
    } catch (const std::exception& error) {
        ShowError("Error", error.what());
    }
    AfterPlugin();
}

void FileManager::ConfigurationMenu()
{
    std::vector<size_t> order;
    MenuBox menu = EntriesMenu(u"Plugins configuration", Host.Menus().PluginConfig, order);
    // Far keeps the menu open until Esc.
    for (;;) {
        const intptr_t line = Screen.RunMenu(menu);
        if (line < 0 || static_cast<size_t>(line) >= order.size() || Screen.ConsoleClosed())
            return;
        try {
            Host.Configure(sizeof(Far3::ConfigureInfo), order[static_cast<size_t>(line)]);
        } catch (const std::exception& error) {
            ShowError("Error", error.what());
        }
        AfterPlugin();
    }
}

bool FileManager::HandleKey(const KeyPress& key)
{
    Panel& panel = Host.ActivePanel();
    const long long page = static_cast<long long>(ItemRows());
    switch (key.VirtualKey) {
    case Vk::F10:
        return false;
    case Vk::Up:
        key.Shift() ? ToggleAndMove(-1) : MoveCursor(-1);
        return true;
    case Vk::Down:
        key.Shift() ? ToggleAndMove(1) : MoveCursor(1);
        return true;
    case Vk::Prior:
        MoveCursor(-page);
        return true;
    case Vk::Next:
        MoveCursor(page);
        return true;
    case Vk::Home:
        panel.SetCurrentItem(0);
        return true;
    case Vk::End:
        MoveCursor(static_cast<long long>(panel.Items().size()));
        return true;
    case Vk::Insert:
        ToggleAndMove(1);
        return true;
    case Vk::Return:
        EnterItem();
        return true;
    case Vk::Add:
        SelectFiles(1);
        return true;
    case Vk::Subtract:
        SelectFiles(0);
        return true;
    case Vk::Multiply:
        SelectFiles(-1);
        return true;
    case Vk::F1 + 3: // F4
        if (!key.Ctrl() && !key.Alt() && !key.Shift())
            EditItem();
        return true;
    case Vk::F1 + 10: // F11
        PluginsMenu();
        return true;
    case Vk::F1 + 8: // F9
        if (key.Alt() && key.Shift())
            ConfigurationMenu();
        return true;
    default:
        break;
    }
    if (key.Ctrl() && key.VirtualKey == 'R') {
        panel.Update(true);
        return true;
    }
    if (!key.Ctrl() && !key.Alt()) {
        switch (key.Char) {
        case u'+': SelectFiles(1); break;
        case u'-': SelectFiles(0); break;
        case u'*': SelectFiles(-1); break;
        default: break;
        }
    }
    return true;
}

} // namespace Host
