// Far Manager 3 (x64) plugin interface: the records, constants and service
// signatures this plugin and the stand-in host use, in the settled 3.0 layout.
// Text is 16-bit units (char16_t): the same bits as Windows' wchar_t, so one
// declaration serves the Windows DLL and the Linux shared library.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define FAR_EXPORT extern "C" __declspec(dllexport)
#else
#define FAR_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace Far3 {

// None of our names is one that <windows.h> defines as a macro, so this
// header compiles whichever of the two is included first.
using HANDLE = void*;
inline HANDLE const InvalidHandleValue = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16);

inline bool operator==(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}

struct FILETIME {
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
};
static_assert(sizeof(FILETIME) == 8);

struct RECT {
    int32_t left, top, right, bottom;
};
static_assert(sizeof(RECT) == 16);

struct SMALL_RECT {
    int16_t Left, Top, Right, Bottom;
};
static_assert(sizeof(SMALL_RECT) == 8);

struct COORD {
    int16_t X, Y;
};
static_assert(sizeof(COORD) == 4);

struct KEY_EVENT_RECORD {
    int32_t bKeyDown;
    uint16_t wRepeatCount;
    uint16_t wVirtualKeyCode;
    uint16_t wVirtualScanCode;
    char16_t UnicodeChar;
    uint32_t dwControlKeyState;
};
static_assert(sizeof(KEY_EVENT_RECORD) == 16);

struct MOUSE_EVENT_RECORD {
    COORD dwMousePosition;
    uint32_t dwButtonState;
    uint32_t dwControlKeyState;
    uint32_t dwEventFlags;
};
static_assert(sizeof(MOUSE_EVENT_RECORD) == 16);

struct INPUT_RECORD {
    uint16_t EventType;
    union {
        KEY_EVENT_RECORD KeyEvent;
        MOUSE_EVENT_RECORD MouseEvent;
        COORD WindowBufferSizeEvent;
        uint8_t Raw[16];
    } Event;
};
static_assert(sizeof(INPUT_RECORD) == 20);

// INPUT_RECORD::EventType values.
namespace InputEvent {
inline constexpr uint16_t Key = 0x1;
inline constexpr uint16_t Mouse = 0x2;
inline constexpr uint16_t WindowBufferSize = 0x4;
} // namespace InputEvent

// ---------------------------------------------------------------- versions

enum VERSION_STAGE : int32_t {
    VS_RELEASE = 0,
    VS_ALPHA = 1,
    VS_BETA = 2,
    VS_RC = 3,
    VS_SPECIAL = 4,
    VS_PRIVATE = 5,
};

struct VersionInfo {
    uint32_t Major;
    uint32_t Minor;
    uint32_t Revision;
    uint32_t Build;
    VERSION_STAGE Stage;
};
static_assert(sizeof(VersionInfo) == 20);

// ---------------------------------------------------------------- entry-point records

using PLUGIN_FLAGS = uint64_t;
constexpr PLUGIN_FLAGS PF_NONE = 0;
constexpr PLUGIN_FLAGS PF_PRELOAD = 0x1;
constexpr PLUGIN_FLAGS PF_DISABLEPANELS = 0x2;
constexpr PLUGIN_FLAGS PF_EDITOR = 0x4;
constexpr PLUGIN_FLAGS PF_VIEWER = 0x8;
constexpr PLUGIN_FLAGS PF_FULLCMDLINE = 0x10;
constexpr PLUGIN_FLAGS PF_DIALOG = 0x20;

struct GlobalInfo {
    size_t StructSize;
    VersionInfo MinFarVersion;
    VersionInfo Version;
    GUID Guid;
    const char16_t* Title;
    const char16_t* Description;
    const char16_t* Author;
};
static_assert(sizeof(GlobalInfo) == 88);
static_assert(offsetof(GlobalInfo, Version) == 28);
static_assert(offsetof(GlobalInfo, Guid) == 48);
static_assert(offsetof(GlobalInfo, Title) == 64);

struct PluginMenuItem {
    const GUID* Guids;
    const char16_t* const* Strings;
    size_t Count;
};
static_assert(sizeof(PluginMenuItem) == 24);

struct PluginInfo {
    size_t StructSize;
    PLUGIN_FLAGS Flags;
    PluginMenuItem DiskMenu;
    PluginMenuItem PluginMenu;
    PluginMenuItem PluginConfig;
    const char16_t* CommandPrefix;
};
static_assert(sizeof(PluginInfo) == 96);
static_assert(offsetof(PluginInfo, PluginMenu) == 40);
static_assert(offsetof(PluginInfo, CommandPrefix) == 88);

enum OPENFROM : int32_t {
    OPEN_LEFTDISKMENU = 0,
    OPEN_PLUGINSMENU = 1,
    OPEN_FINDLIST = 2,
    OPEN_SHORTCUT = 3,
    OPEN_COMMANDLINE = 4,
    OPEN_EDITOR = 5,
    OPEN_VIEWER = 6,
    OPEN_FILEPANEL = 7,
    OPEN_DIALOG = 8,
    OPEN_ANALYSE = 9,
    OPEN_RIGHTDISKMENU = 10,
    OPEN_FROMMACRO = 11,
    OPEN_LUAMACRO = 100,
};

struct OpenInfo {
    size_t StructSize;
    OPENFROM OpenFrom;
    const GUID* Guid;
    intptr_t Data;
};
static_assert(sizeof(OpenInfo) == 32);
static_assert(offsetof(OpenInfo, Guid) == 16);

struct ConfigureInfo {
    size_t StructSize;
    const GUID* Guid;
};
static_assert(sizeof(ConfigureInfo) == 16);

struct ExitInfo {
    size_t StructSize;
};
static_assert(sizeof(ExitInfo) == 8);

// ---------------------------------------------------------------- panels

using PLUGINPANELITEMFLAGS = uint64_t;
constexpr PLUGINPANELITEMFLAGS PPIF_NONE = 0;
constexpr PLUGINPANELITEMFLAGS PPIF_SELECTED = 0x40000000;
constexpr PLUGINPANELITEMFLAGS PPIF_PROCESSDESCR = 0x80000000;

using PANELINFOFLAGS = uint64_t;
constexpr PANELINFOFLAGS PFLAGS_REALNAMES = 0x20;
constexpr PANELINFOFLAGS PFLAGS_PANELLEFT = 0x80;
constexpr PANELINFOFLAGS PFLAGS_VISIBLE = 0x1000;
constexpr PANELINFOFLAGS PFLAGS_FOCUS = 0x2000;

enum PANELINFOTYPE : int32_t {
    PTYPE_FILEPANEL = 0,
    PTYPE_TREEPANEL = 1,
    PTYPE_QVIEWPANEL = 2,
    PTYPE_INFOPANEL = 3,
};

enum OPENPANELINFO_SORTMODES : int32_t {
    SM_DEFAULT = 0,
    SM_UNSORTED = 1,
    SM_NAME = 2,
};

struct PanelInfo {
    size_t StructSize;
    HANDLE PluginHandle;
    GUID OwnerGuid;
    PANELINFOFLAGS Flags;
    size_t ItemsNumber;
    size_t SelectedItemsNumber;
    RECT PanelRect;
    size_t CurrentItem;
    size_t TopPanelItem;
    intptr_t ViewMode;
    PANELINFOTYPE PanelType;
    OPENPANELINFO_SORTMODES SortMode;
};
static_assert(sizeof(PanelInfo) == 104);
static_assert(offsetof(PanelInfo, ItemsNumber) == 40);
static_assert(offsetof(PanelInfo, PanelRect) == 56);
static_assert(offsetof(PanelInfo, CurrentItem) == 72);
static_assert(offsetof(PanelInfo, PanelType) == 96);

struct FarPanelItemFreeInfo {
    size_t StructSize;
    HANDLE hPlugin;
};

using FARPANELITEMFREECALLBACK = void (*)(void* UserData, const FarPanelItemFreeInfo* Info);

struct UserDataItem {
    void* Data;
    FARPANELITEMFREECALLBACK FreeData;
};

struct PluginPanelItem {
    FILETIME CreationTime;
    FILETIME LastAccessTime;
    FILETIME LastWriteTime;
    FILETIME ChangeTime;
    uint64_t FileSize;
    uint64_t AllocationSize;
    const char16_t* FileName;
    const char16_t* AlternateFileName;
    const char16_t* Description;
    const char16_t* Owner;
    const char16_t* const* CustomColumnData;
    size_t CustomColumnNumber;
    PLUGINPANELITEMFLAGS Flags;
    UserDataItem UserData;
    uintptr_t FileAttributes;
    uintptr_t NumberOfLinks;
    uintptr_t CRC32;
    intptr_t Reserved[2];
};
static_assert(sizeof(PluginPanelItem) == 160);
static_assert(offsetof(PluginPanelItem, FileName) == 48);
static_assert(offsetof(PluginPanelItem, Flags) == 96);
static_assert(offsetof(PluginPanelItem, FileAttributes) == 120);

struct FarGetPluginPanelItem {
    size_t StructSize;
    size_t Size;
    PluginPanelItem* Item;
};
static_assert(sizeof(FarGetPluginPanelItem) == 24);

struct FarPanelDirectory {
    size_t StructSize;
    const char16_t* Name;
    const char16_t* Param;
    GUID PluginId;
    const char16_t* File;
};
static_assert(sizeof(FarPanelDirectory) == 48);
static_assert(offsetof(FarPanelDirectory, PluginId) == 24);
static_assert(offsetof(FarPanelDirectory, File) == 40);

struct PanelRedrawInfo {
    size_t StructSize;
    size_t CurrentItem;
    size_t TopPanelItem;
};
static_assert(sizeof(PanelRedrawInfo) == 24);

inline HANDLE const PANEL_NONE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
inline HANDLE const PANEL_ACTIVE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
inline HANDLE const PANEL_PASSIVE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

enum FILE_CONTROL_COMMANDS : int32_t {
    FCTL_CLOSEPANEL = 0,
    FCTL_GETPANELINFO = 1,
    FCTL_UPDATEPANEL = 2,
    FCTL_REDRAWPANEL = 3,
    FCTL_SETSELECTION = 6,
    FCTL_GETPANELITEM = 21,
    FCTL_GETSELECTEDPANELITEM = 22,
    FCTL_GETCURRENTPANELITEM = 23,
    FCTL_GETPANELDIRECTORY = 24,
    FCTL_BEGINSELECTION = 27,
    FCTL_ENDSELECTION = 28,
    FCTL_CLEARSELECTION = 29,
};

// ---------------------------------------------------------------- file attributes

namespace FileAttribute {
inline constexpr uint32_t ReadOnly = 0x1;
inline constexpr uint32_t Hidden = 0x2;
inline constexpr uint32_t Directory = 0x10;
inline constexpr uint32_t Archive = 0x20;
inline constexpr uint32_t Normal = 0x80;
inline constexpr uint32_t ReparsePoint = 0x400;
} // namespace FileAttribute

// ---------------------------------------------------------------- messages

using FARMESSAGEFLAGS = uint64_t;
constexpr FARMESSAGEFLAGS FMSG_NONE = 0;
constexpr FARMESSAGEFLAGS FMSG_WARNING = 0x1;
constexpr FARMESSAGEFLAGS FMSG_ERRORTYPE = 0x2;
constexpr FARMESSAGEFLAGS FMSG_KEEPBACKGROUND = 0x4;
constexpr FARMESSAGEFLAGS FMSG_LEFTALIGN = 0x8;
constexpr FARMESSAGEFLAGS FMSG_ALLINONE = 0x10;
constexpr FARMESSAGEFLAGS FMSG_MB_OK = 0x10000;
constexpr FARMESSAGEFLAGS FMSG_MB_OKCANCEL = 0x20000;
constexpr FARMESSAGEFLAGS FMSG_MB_ABORTRETRYIGNORE = 0x30000;
constexpr FARMESSAGEFLAGS FMSG_MB_YESNO = 0x40000;
constexpr FARMESSAGEFLAGS FMSG_MB_YESNOCANCEL = 0x50000;
constexpr FARMESSAGEFLAGS FMSG_MB_RETRYCANCEL = 0x60000;
constexpr FARMESSAGEFLAGS FMSG_MB_MASK = 0xF0000;

// ---------------------------------------------------------------- editor

using EDITOR_FLAGS = uint64_t;
constexpr EDITOR_FLAGS EF_NONMODAL = 0x1;
constexpr EDITOR_FLAGS EF_CREATENEW = 0x2;
constexpr EDITOR_FLAGS EF_ENABLE_F6 = 0x4;
constexpr EDITOR_FLAGS EF_DISABLEHISTORY = 0x8;
constexpr EDITOR_FLAGS EF_DELETEONCLOSE = 0x10;
constexpr EDITOR_FLAGS EF_IMMEDIATERETURN = 0x100;
constexpr EDITOR_FLAGS EF_DELETEONLYFILEONCLOSE = 0x200;
constexpr EDITOR_FLAGS EF_LOCKED = 0x400;
constexpr EDITOR_FLAGS EF_DISABLESAVEPOS = 0x800;

using VIEWER_FLAGS = uint64_t;
constexpr VIEWER_FLAGS VF_NONMODAL = 0x1;
constexpr VIEWER_FLAGS VF_DELETEONCLOSE = 0x2;
constexpr VIEWER_FLAGS VF_ENABLE_F6 = 0x4;
constexpr VIEWER_FLAGS VF_DISABLEHISTORY = 0x8;
constexpr VIEWER_FLAGS VF_IMMEDIATERETURN = 0x100;
constexpr VIEWER_FLAGS VF_DELETEONLYFILEONCLOSE = 0x200;

enum EDITOR_EXITCODE : int32_t {
    EEC_OPEN_ERROR = 0,
    EEC_MODIFIED = 1,
    EEC_NOT_MODIFIED = 2,
    EEC_LOADING_INTERRUPTED = 3,
};

enum EDITOR_CONTROL_COMMANDS : int32_t {
    ECTL_GETSTRING = 0,
    ECTL_GETINFO = 6,
    ECTL_QUIT = 19,
    ECTL_GETFILENAME = 33,
};

struct EditorInfo {
    size_t StructSize;
    intptr_t EditorID;
    intptr_t WindowSizeX;
    intptr_t WindowSizeY;
    intptr_t TotalLines;
    intptr_t CurLine;
    intptr_t CurPos;
    intptr_t CurTabPos;
    intptr_t TopScreenLine;
    intptr_t LeftPos;
    intptr_t Overtype;
    intptr_t BlockType;
    intptr_t BlockStartLine;
    uintptr_t Options;
    intptr_t TabSize;
    size_t BookmarkCount;
    size_t SessionBookmarkCount;
    uintptr_t CurState;
    uintptr_t CodePage;
};
static_assert(sizeof(EditorInfo) == 152);

// Code pages for the editor.
namespace CodePage {
inline constexpr uintptr_t Ansi = 0;
inline constexpr uintptr_t Oem = 1;
inline constexpr uintptr_t Utf8 = 65001;
} // namespace CodePage

// ---------------------------------------------------------------- advanced control, paths

enum ADVANCED_CONTROL_COMMANDS : int32_t {
    ACTL_GETFARMANAGERVERSION = 0,
    ACTL_WAITKEY = 2,
    ACTL_REDRAWALL = 19,
    ACTL_SYNCHRO = 20,
    ACTL_SETPROGRESSSTATE = 21,
    ACTL_SETPROGRESSVALUE = 22,
    ACTL_QUIT = 23,
    ACTL_GETFARRECT = 24,
    ACTL_PROGRESSNOTIFY = 27,
};

// The taskbar's progress state (ACTL_SETPROGRESSSTATE's Param1).
enum TASKBARPROGRESSTATE : int32_t {
    TBPS_NOPROGRESS = 0,
    TBPS_INDETERMINATE = 1,
    TBPS_NORMAL = 2,
    TBPS_ERROR = 4,
    TBPS_PAUSED = 8,
};

// ACTL_SETPROGRESSVALUE's Param2.
struct ProgressValue {
    size_t StructSize;
    unsigned long long Completed;
    unsigned long long Total;
};
static_assert(sizeof(ProgressValue) == 24);

enum CONVERTPATHMODES : int32_t {
    CPM_FULL = 0,
    CPM_REAL = 1,
    CPM_NATIVE = 2,
};

// ---------------------------------------------------------------- settings

enum FAR_SETTINGS_CONTROL_COMMANDS : int32_t {
    SCTL_CREATE = 0,
    SCTL_FREE = 1,
    SCTL_SET = 2,
    SCTL_GET = 3,
    SCTL_ENUM = 4,
    SCTL_DELETE = 5,
    SCTL_CREATESUBKEY = 6,
    SCTL_OPENSUBKEY = 7,
};

enum FARSETTINGSTYPES : int32_t {
    FST_UNKNOWN = 0,
    FST_SUBKEY = 1,
    FST_QWORD = 2,
    FST_STRING = 3,
    FST_DATA = 4,
};

enum FARSETTINGS_SUBFOLDERS : int32_t {
    PSL_ROAMING = 0,
    PSL_LOCAL = 1,
};

struct FarSettingsCreate {
    size_t StructSize;
    GUID Guid;
    HANDLE Handle;
};
static_assert(sizeof(FarSettingsCreate) == 32);
static_assert(offsetof(FarSettingsCreate, Handle) == 24);

struct FarSettingsValue {
    size_t StructSize;
    size_t Root;
    const char16_t* Value;
};
static_assert(sizeof(FarSettingsValue) == 24);

struct FarSettingsItem {
    size_t StructSize;
    size_t Root;
    const char16_t* Name;
    FARSETTINGSTYPES Type;
    union {
        uint64_t Number;
        const char16_t* String;
        struct {
            size_t Size;
            const void* Data;
        } Data;
    } Value;
};
static_assert(sizeof(FarSettingsItem) == 48);
static_assert(offsetof(FarSettingsItem, Type) == 24);
static_assert(offsetof(FarSettingsItem, Value) == 32);

struct FarSettingsName {
    const char16_t* Name;
    FARSETTINGSTYPES Type;
};
static_assert(sizeof(FarSettingsName) == 16);

struct FarSettingsEnum {
    size_t StructSize;
    size_t Root;
    size_t Count;
    const FarSettingsName* Items;
};
static_assert(sizeof(FarSettingsEnum) == 32);

// ---------------------------------------------------------------- dialogs

enum FARDIALOGITEMTYPES : int32_t {
    DI_TEXT = 0,
    DI_VTEXT = 1,
    DI_SINGLEBOX = 2,
    DI_DOUBLEBOX = 3,
    DI_EDIT = 4,
    DI_PSWEDIT = 5,
    DI_FIXEDIT = 6,
    DI_BUTTON = 7,
    DI_CHECKBOX = 8,
    DI_RADIOBUTTON = 9,
    DI_COMBOBOX = 10,
    DI_LISTBOX = 11,
    DI_USERCONTROL = 255,
};

using FARDIALOGITEMFLAGS = uint64_t;
constexpr FARDIALOGITEMFLAGS DIF_NONE = 0;
constexpr FARDIALOGITEMFLAGS DIF_BOXCOLOR = 0x200;
constexpr FARDIALOGITEMFLAGS DIF_GROUP = 0x400;
constexpr FARDIALOGITEMFLAGS DIF_LEFTTEXT = 0x800;
constexpr FARDIALOGITEMFLAGS DIF_MOVESELECT = 0x1000;
constexpr FARDIALOGITEMFLAGS DIF_SHOWAMPERSAND = 0x2000;
constexpr FARDIALOGITEMFLAGS DIF_CENTERGROUP = 0x4000;
constexpr FARDIALOGITEMFLAGS DIF_NOBRACKETS = 0x8000;
constexpr FARDIALOGITEMFLAGS DIF_MANUALADDHISTORY = 0x8000;
constexpr FARDIALOGITEMFLAGS DIF_SEPARATOR = 0x10000;
constexpr FARDIALOGITEMFLAGS DIF_SEPARATOR2 = 0x20000;
constexpr FARDIALOGITEMFLAGS DIF_EDITOR = 0x20000;
constexpr FARDIALOGITEMFLAGS DIF_LISTNOAMPERSAND = 0x20000;
constexpr FARDIALOGITEMFLAGS DIF_LISTNOBOX = 0x40000;
constexpr FARDIALOGITEMFLAGS DIF_HISTORY = 0x40000;
constexpr FARDIALOGITEMFLAGS DIF_BTNNOCLOSE = 0x40000;
constexpr FARDIALOGITEMFLAGS DIF_CENTERTEXT = 0x40000;
constexpr FARDIALOGITEMFLAGS DIF_SEPARATORUSER = 0x80000;
constexpr FARDIALOGITEMFLAGS DIF_EDITEXPAND = 0x80000;
constexpr FARDIALOGITEMFLAGS DIF_DROPDOWNLIST = 0x100000;
constexpr FARDIALOGITEMFLAGS DIF_USELASTHISTORY = 0x200000;
constexpr FARDIALOGITEMFLAGS DIF_MASKEDIT = 0x400000;
constexpr FARDIALOGITEMFLAGS DIF_SELECTONENTRY = 0x800000;
constexpr FARDIALOGITEMFLAGS DIF_3STATE = 0x800000;
constexpr FARDIALOGITEMFLAGS DIF_EDITPATH = 0x1000000;
constexpr FARDIALOGITEMFLAGS DIF_NOAUTOCOMPLETE = 0x2000000;
constexpr FARDIALOGITEMFLAGS DIF_HIDDEN = 0x10000000;
constexpr FARDIALOGITEMFLAGS DIF_READONLY = 0x20000000;
constexpr FARDIALOGITEMFLAGS DIF_NOFOCUS = 0x40000000;
constexpr FARDIALOGITEMFLAGS DIF_DISABLE = 0x80000000;
constexpr FARDIALOGITEMFLAGS DIF_DEFAULTBUTTON = 0x100000000;
constexpr FARDIALOGITEMFLAGS DIF_FOCUS = 0x200000000;
constexpr FARDIALOGITEMFLAGS DIF_RIGHTTEXT = 0x400000000;
constexpr FARDIALOGITEMFLAGS DIF_WORDWRAP = 0x800000000;
constexpr FARDIALOGITEMFLAGS DIF_HOMEITEM = 0x2000000000;

using FARDIALOGFLAGS = uint64_t;
constexpr FARDIALOGFLAGS FDLG_NONE = 0;
constexpr FARDIALOGFLAGS FDLG_WARNING = 0x1;
constexpr FARDIALOGFLAGS FDLG_SMALLDIALOG = 0x2;
constexpr FARDIALOGFLAGS FDLG_NODRAWSHADOW = 0x4;
constexpr FARDIALOGFLAGS FDLG_NODRAWPANEL = 0x8;
constexpr FARDIALOGFLAGS FDLG_KEEPCONSOLETITLE = 0x10;
constexpr FARDIALOGFLAGS FDLG_NONMODAL = 0x20;
constexpr FARDIALOGFLAGS FDLG_STAY_ON_TOP = 0x40;

struct FarListItem {
    uint64_t Flags;
    const char16_t* Text;
    intptr_t UserData;
    intptr_t Reserved;
};
static_assert(sizeof(FarListItem) == 32);

struct FarList {
    size_t StructSize;
    size_t ItemsNumber;
    FarListItem* Items;
};
static_assert(sizeof(FarList) == 24);

struct FarDialogItem {
    FARDIALOGITEMTYPES Type;
    intptr_t X1, Y1, X2, Y2;
    union {
        intptr_t Selected;
        FarList* ListItems;
        void* VBuf;
        intptr_t Reserved0;
    };
    const char16_t* History;
    const char16_t* Mask;
    FARDIALOGITEMFLAGS Flags;
    const char16_t* Data;
    size_t MaxLength;
    intptr_t UserData;
    intptr_t Reserved[2];
};
static_assert(sizeof(FarDialogItem) == 112);
static_assert(offsetof(FarDialogItem, History) == 48);
static_assert(offsetof(FarDialogItem, Data) == 72);

// A colour: 4-bit console indices when FCF_FG_INDEX / FCF_BG_INDEX are set,
// else 0xAARRGGBB values.
using FARCOLORFLAGS = uint64_t;
constexpr FARCOLORFLAGS FCF_NONE = 0;
constexpr FARCOLORFLAGS FCF_FG_INDEX = 0x1;
constexpr FARCOLORFLAGS FCF_BG_INDEX = 0x2;
constexpr FARCOLORFLAGS FCF_INDEXMASK = 0x3;

struct FarColor {
    FARCOLORFLAGS Flags;
    uint32_t ForegroundColor;
    uint32_t BackgroundColor;
    void* Reserved;
};
static_assert(sizeof(FarColor) == 24);

struct FarDialogItemColors {
    size_t StructSize;
    uint64_t Flags;
    size_t ColorsCount;
    FarColor* Colors;
};
static_assert(sizeof(FarDialogItemColors) == 32);

struct DialogInfo {
    size_t StructSize;
    GUID Id;
    GUID Owner;
};
static_assert(sizeof(DialogInfo) == 40);
static_assert(offsetof(DialogInfo, Owner) == 24);

struct FarDialogItemData {
    size_t StructSize;
    size_t PtrLength;
    char16_t* PtrData;
};
static_assert(sizeof(FarDialogItemData) == 24);

struct FarGetDialogItem {
    size_t StructSize;
    size_t Size;
    FarDialogItem* Item;
};
static_assert(sizeof(FarGetDialogItem) == 24);

enum FARMESSAGE : int32_t {
    DM_FIRST = 0,
    DM_CLOSE = 1,
    DM_ENABLE = 2,
    DM_ENABLEREDRAW = 3,
    DM_GETDLGDATA = 4,
    DM_GETDLGITEM = 5,
    DM_GETDLGRECT = 6,
    DM_GETTEXT = 7,
    DM_KEY = 9,
    DM_MOVEDIALOG = 10,
    DM_SETDLGDATA = 11,
    DM_SETDLGITEM = 12,
    DM_SETFOCUS = 13,
    DM_REDRAW = 14,
    DM_SETTEXT = 15,
    DM_SETMAXTEXTLENGTH = 16,
    DM_SHOWDIALOG = 17,
    DM_GETFOCUS = 18,
    DM_GETCURSORPOS = 19,
    DM_SETCURSORPOS = 20,
    DM_SETTEXTPTR = 22,
    DM_SHOWITEM = 23,
    DM_ADDHISTORY = 24,
    DM_GETCHECK = 25,
    DM_SETCHECK = 26,
    DM_SET3STATE = 27,
    DM_LISTSORT = 28,
    DM_LISTGETITEM = 29,
    DM_LISTGETCURPOS = 30,
    DM_LISTSETCURPOS = 31,
    DM_LISTDELETE = 32,
    DM_LISTADD = 33,
    DM_LISTADDSTR = 34,
    DM_LISTUPDATE = 35,
    DM_LISTINSERT = 36,
    DM_LISTFINDSTRING = 37,
    DM_LISTINFO = 38,
    DM_LISTGETDATA = 39,
    DM_LISTSETDATA = 40,
    DM_LISTSETTITLES = 41,
    DM_LISTGETTITLES = 42,
    DM_RESIZEDIALOG = 43,
    DM_SETITEMPOSITION = 44,
    DM_GETDROPDOWNOPENED = 45,
    DM_SETDROPDOWNOPENED = 46,
    DM_SETHISTORY = 47,
    DM_GETITEMPOSITION = 48,
    DM_SETINPUTNOTIFY = 49,
    DM_SETMOUSEEVENTNOTIFY = DM_SETINPUTNOTIFY,
    DM_EDITUNCHANGEDFLAG = 50,
    DM_GETITEMDATA = 51,
    DM_SETITEMDATA = 52,
    DM_LISTSET = 53,
    DM_GETCURSORSIZE = 54,
    DM_SETCURSORSIZE = 55,
    DM_LISTGETDATASIZE = 56,
    DM_GETSELECTION = 57,
    DM_SETSELECTION = 58,
    DM_GETEDITPOSITION = 59,
    DM_SETEDITPOSITION = 60,
    DM_SETCOMBOBOXEVENT = 61,
    DM_GETCOMBOBOXEVENT = 62,
    DM_GETCONSTTEXTPTR = 63,
    DM_GETDLGITEMSHORT = 64,
    DM_SETDLGITEMSHORT = 65,
    DM_GETDIALOGINFO = 66,
    DM_GETDIALOGTITLE = 67,

    DN_FIRST = 4096,
    DN_BTNCLICK = 4097,
    DN_CTLCOLORDIALOG = 4098,
    DN_CTLCOLORDLGITEM = 4099,
    DN_CTLCOLORDLGLIST = 4100,
    DN_DRAWDIALOG = 4101,
    DN_DRAWDLGITEM = 4102,
    DN_EDITCHANGE = 4103,
    DN_ENTERIDLE = 4104,
    DN_GOTFOCUS = 4105,
    DN_HELP = 4106,
    DN_HOTKEY = 4107,
    DN_INITDIALOG = 4108,
    DN_KILLFOCUS = 4109,
    DN_LISTCHANGE = 4110,
    DN_DRAGGED = 4111,
    DN_RESIZECONSOLE = 4112,
    DN_DRAWDIALOGDONE = 4113,
    DN_LISTHOTKEY = 4114,
    DN_INPUT = 4115,
    DN_CONTROLINPUT = 4116,
    DN_CLOSE = 4117,
    DN_GETVALUE = 4118,
    DN_DROPDOWNOPENED = 4119,
    DN_DRAWDLGITEMDONE = 4120,

    DM_USER = 0x4000,
};

enum FARCHECKEDSTATE : int32_t {
    BSTATE_UNCHECKED = 0,
    BSTATE_CHECKED = 1,
    BSTATE_3STATE = 2,
    BSTATE_TOGGLE = 3,
};

// ---------------------------------------------------------------- services

using FARWINDOWPROC = intptr_t (*)(HANDLE hDlg, intptr_t Msg, intptr_t Param1, void* Param2);
using FARAPIGENERIC = void (*)();

using FARAPIMESSAGE = intptr_t (*)(const GUID* PluginId, const GUID* Id, FARMESSAGEFLAGS Flags,
                                   const char16_t* HelpTopic, const char16_t* const* Items,
                                   size_t ItemsNumber, intptr_t ButtonsNumber);
using FARAPIGETMSG = const char16_t* (*)(const GUID* PluginId, intptr_t MsgId);
using FARAPIPANELCONTROL = intptr_t (*)(HANDLE hPanel, FILE_CONTROL_COMMANDS Command, intptr_t Param1,
                                        void* Param2);
using FARAPISAVESCREEN = HANDLE (*)(intptr_t X1, intptr_t Y1, intptr_t X2, intptr_t Y2);
using FARAPIRESTORESCREEN = void (*)(HANDLE hScreen);
using FARAPIVIEWER = intptr_t (*)(const char16_t* FileName, const char16_t* Title, intptr_t X1, intptr_t Y1,
                                  intptr_t X2, intptr_t Y2, VIEWER_FLAGS Flags, uintptr_t CodePage);
using FARAPIEDITOR = intptr_t (*)(const char16_t* FileName, const char16_t* Title, intptr_t X1, intptr_t Y1,
                                  intptr_t X2, intptr_t Y2, EDITOR_FLAGS Flags, intptr_t StartLine,
                                  intptr_t StartChar, uintptr_t CodePage);
using FARAPIEDITORCONTROL = intptr_t (*)(intptr_t EditorID, EDITOR_CONTROL_COMMANDS Command, intptr_t Param1,
                                         void* Param2);
using FARAPIADVCONTROL = intptr_t (*)(const GUID* PluginId, ADVANCED_CONTROL_COMMANDS Command,
                                      intptr_t Param1, void* Param2);
using FARAPIDIALOGINIT = HANDLE (*)(const GUID* PluginId, const GUID* Id, intptr_t X1, intptr_t Y1, intptr_t X2,
                                    intptr_t Y2, const char16_t* HelpTopic, const FarDialogItem* Item,
                                    size_t ItemsNumber, intptr_t Reserved, FARDIALOGFLAGS Flags,
                                    FARWINDOWPROC DlgProc, void* Param);
using FARAPIDIALOGRUN = intptr_t (*)(HANDLE hDlg);
using FARAPIDIALOGFREE = void (*)(HANDLE hDlg);
using FARAPISENDDLGMESSAGE = intptr_t (*)(HANDLE hDlg, intptr_t Msg, intptr_t Param1, void* Param2);
using FARAPIDEFDLGPROC = intptr_t (*)(HANDLE hDlg, intptr_t Msg, intptr_t Param1, void* Param2);
using FARAPISETTINGSCONTROL = intptr_t (*)(HANDLE hHandle, FAR_SETTINGS_CONTROL_COMMANDS Command,
                                           intptr_t Param1, void* Param2);
using FARSTDCONVERTPATH = size_t (*)(CONVERTPATHMODES Mode, const char16_t* Src, char16_t* Dest,
                                     size_t DestSize);

// The standard functions: 47 pointer-sized slots; only ConvertPath is called.
struct FarStandardFunctions {
    size_t StructSize;
    FARAPIGENERIC Slots1To42[42];
    FARSTDCONVERTPATH ConvertPath;
    FARAPIGENERIC GetReparsePointInfo;
    FARAPIGENERIC GetCurrentDirectory;
    FARAPIGENERIC FormatFileSize;
};
static_assert(sizeof(FarStandardFunctions) == 376);
static_assert(offsetof(FarStandardFunctions, ConvertPath) == 344);
static_assert(offsetof(FarStandardFunctions, FormatFileSize) == 368);

// The service table as of the 3.0 layout: 33 pointer-sized fields.
struct PluginStartupInfo {
    size_t StructSize;
    const char16_t* ModuleName;
    FARAPIGENERIC Menu;
    FARAPIMESSAGE Message;
    FARAPIGETMSG GetMsg;
    FARAPIPANELCONTROL PanelControl;
    FARAPISAVESCREEN SaveScreen;
    FARAPIRESTORESCREEN RestoreScreen;
    FARAPIGENERIC GetDirList;
    FARAPIGENERIC GetPluginDirList;
    FARAPIGENERIC FreeDirList;
    FARAPIGENERIC FreePluginDirList;
    FARAPIVIEWER Viewer;
    FARAPIEDITOR Editor;
    FARAPIGENERIC Text;
    FARAPIEDITORCONTROL EditorControl;
    FarStandardFunctions* FSF;
    FARAPIGENERIC ShowHelp;
    FARAPIADVCONTROL AdvControl;
    FARAPIGENERIC InputBox;
    FARAPIGENERIC ColorDialog;
    FARAPIDIALOGINIT DialogInit;
    FARAPIDIALOGRUN DialogRun;
    FARAPIDIALOGFREE DialogFree;
    FARAPISENDDLGMESSAGE SendDlgMessage;
    FARAPIDEFDLGPROC DefDlgProc;
    FARAPIGENERIC ViewerControl;
    FARAPIGENERIC PluginsControl;
    FARAPIGENERIC FileFilterControl;
    FARAPIGENERIC RegExpControl;
    FARAPIGENERIC MacroControl;
    FARAPISETTINGSCONTROL SettingsControl;
    void* Private;
};
static_assert(sizeof(PluginStartupInfo) == 264);
static_assert(offsetof(PluginStartupInfo, Message) == 24);
static_assert(offsetof(PluginStartupInfo, Editor) == 104);
static_assert(offsetof(PluginStartupInfo, FSF) == 128);
static_assert(offsetof(PluginStartupInfo, AdvControl) == 144);
static_assert(offsetof(PluginStartupInfo, DialogInit) == 168);
static_assert(offsetof(PluginStartupInfo, SettingsControl) == 248);

// The six exports, as the host looks them up.
using GetGlobalInfoWFunc = void (*)(GlobalInfo*);
using SetStartupInfoWFunc = void (*)(const PluginStartupInfo*);
using GetPluginInfoWFunc = void (*)(PluginInfo*);
using OpenWFunc = HANDLE (*)(const OpenInfo*);
using ConfigureWFunc = intptr_t (*)(const ConfigureInfo*);
using ExitFARWFunc = void (*)(const ExitInfo*);

} // namespace Far3
