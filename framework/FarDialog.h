// TFarDialog: a retained-mode model of one Far Manager dialog.
//
// A dialog owns its controls, and every control owns the host item record
// at its position in the dialog's item array. A control writes each of its
// properties straight into that record, so the array is always ready for
// the host: creating the host dialog is one DialogInit call on it. While a
// host dialog exists (the dialog is "active") the same property calls also
// talk to it, and reading a property asks it.
//
// Dialog classes are created through Create<T>(), which runs the end of
// construction (AfterConstruction: the subclass's controls are complete, the
// size is settled) before the object reaches its creator. A subclass keeps
// its constructor protected and declares `friend class TFarDialog;`.
//
// Main thread only, except the delayed change reports of edits
// (FarDialogEdits.h).
#pragma once

#include "framework/FarErrors.h"
#include "framework/FarModule.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace Tessel {

// Alignment of a label's text or a frame's title.
enum TTextAlignment { taCenter, taLeft, taRight };

class TFarDialog : public TFarCommonModule {
public:
    class TControl;
    class TLabelLikeControl;
    class TDoubleBox;
    class TLabel;
    class TSeparator;
    class TButtonLikeControl;
    class TButton;
    class TCheckbox;
    class TRadioButton;
    class TCustomEdit;
    class TEdit;
    class TListbox;

    using TColumnWidths = std::vector<int32_t>;
    // A row of controls for Columnize; a null entry leaves its column empty.
    using TControlRow = std::vector<TControl*>;

    // Control events: the sender first, answers through the reference arguments.
    using TNotifyEvent = std::function<void(TControl& Sender)>;
    using TExitEvent = std::function<void(TControl& Sender, TControl*& Next)>;
    using TKeyDownEvent = std::function<void(TControl& Sender, uint16_t Key, uint32_t ControlState, bool& Handled)>;
    using TButtonClickEvent = std::function<void(TControl& Sender, bool& Flag)>;
    using TCheckboxClickEvent = std::function<void(TControl& Sender, int32_t NewState, bool& Allow)>;
    using TAllowEvent = std::function<void(TControl& Sender, bool& Allow)>;
    using TListChangeEvent = std::function<void(TControl& Sender, intptr_t NewItem, bool& Allow)>;

    // Constructs a dialog of class T and finishes its construction.
    template <typename T, typename... Args>
    static std::unique_ptr<T> Create(Args&&... args)
    {
        static_assert(std::is_base_of_v<TFarDialog, T>, "Create makes dialogs only");
        std::unique_ptr<T> dialog(new T(std::forward<Args>(args)...));
        static_cast<TFarDialog&>(*dialog).AfterConstruction();
        return dialog;
    }

    // Frees the host dialog, then destroys every control.
    virtual ~TFarDialog();
    TFarDialog(const TFarDialog&) = delete;
    TFarDialog& operator=(const TFarDialog&) = delete;

    const Far3::GUID& GetId() const { return Id; }

    // ---- controls
    int32_t GetControlCount() const { return ControlCount; }
    // Slots allocated for controls and their records; grows in steps of 64.
    int32_t GetCapacity() const { return static_cast<int32_t>(HostItems.size()); }
    // Raises Base::EListError "Index out of bounds" outside 0 .. count - 1.
    TControl& GetControl(int32_t Index) const;

    // Factories: the new control belongs to this dialog and takes the next position.
    TButton* AddButton(int32_t X, int32_t Y, const String& Caption);
    TCheckbox* AddCheckbox(int32_t X, int32_t Y, const String& Caption, bool Checked);
    TDoubleBox* AddDoubleBox(int32_t X, int32_t Y, int32_t Width, int32_t Height, const String& Caption);
    TEdit* AddEdit(int32_t X, int32_t Y, int32_t Width, const String& Text);
    TLabel* AddLabel(int32_t X, int32_t Y, int32_t Width, const String& Caption, TTextAlignment Alignment);
    TSeparator* AddSeparator(int32_t Y);

    // Destroys one control; the later ones move down one position. Refused
    // while active ("Can't remove controls from an active dialog").
    void DeleteControl(TControl& Control);
    // Frees the host dialog and destroys every control, the last one first.
    // Subclasses forget their control pointers after calling this one.
    virtual void ClearControls();

    // ---- the host dialog
    // True while a host dialog exists: from a successful Build until ReleaseHandle.
    bool IsActive() const { return Handle != Far3::InvalidHandleValue; }
    // Creates the host dialog from the records; false when the host refuses.
    bool Build();
    // Runs the dialog (building it first when needed). True when a button
    // closed it; Button is that button, null otherwise. The host dialog
    // stays, so control values read afterwards are the ones the user left.
    bool Execute(TButton*& Button);
    void ReleaseHandle();
    intptr_t SendDialogMessage(intptr_t Msg, intptr_t Param1, void* Param2);
    void LockRedraw();
    void UnlockRedraw();
    void Redraw();

    // The dialog procedure handed to the host for every dialog of this framework.
    static intptr_t DialogProc(Far3::HANDLE hDlg, intptr_t Msg, intptr_t Param1, void* Param2) noexcept;
    // The active dialog with that host handle, or null.
    static TFarDialog* FindDialog(Far3::HANDLE hDlg);

    // ---- geometry (-1 for Left and Top means centred)
    void GetBounds(int32_t& Left, int32_t& Top, int32_t& Width, int32_t& Height);
    void SetPosition(int32_t Left, int32_t Top);
    virtual void GetClientRect(int32_t& Left, int32_t& Top, int32_t& Width, int32_t& Height);
    // Validates and stores the size; subclasses place their controls after calling it.
    virtual void SetSize(int32_t Width, int32_t Height);
    // Turns the host window's size into the dialog's: 4 less each way.
    virtual void AdjustSize(int32_t& Width, int32_t& Height);
    // Places a row of controls: each takes its column less one column of
    // gap; the first keeps its own top, the others get Y.
    virtual void Columnize(const TColumnWidths& Widths, const TControlRow& Controls, int32_t X, int32_t Y);
    // The same with the row's top taken from the first control.
    virtual void Columnize(const TColumnWidths& Widths, const TControlRow& Controls, int32_t X);

    // ---- host events (FarDialogEvents.cpp)
    // True when handled; Result is then the answer to the host.
    virtual bool HandleMessage(intptr_t Msg, intptr_t Param1, void* Param2, intptr_t& Result);

protected:
    explicit TFarDialog(const Far3::GUID& Id);

    // Runs once after the most-derived constructor (see Create): settles the size.
    virtual void AfterConstruction();

    // Per-event handlers; each returns whether it handled the event.
    virtual bool DoInitDialog(intptr_t Param1, void* Param2, intptr_t& Result);
    virtual bool DoButtonClick(intptr_t Param1, void* Param2, intptr_t& Result);
    virtual bool DoEditChange(intptr_t Param1, void* Param2, intptr_t& Result);
    virtual bool DoGotFocus(intptr_t Param1, void* Param2, intptr_t& Result);
    virtual bool DoKillFocus(intptr_t Param1, void* Param2, intptr_t& Result);
    virtual bool DoListChange(intptr_t Param1, void* Param2, intptr_t& Result);
    virtual bool DoControlInput(intptr_t Param1, void* Param2, intptr_t& Result);
    virtual bool DoResizeConsole(intptr_t Param1, void* Param2, intptr_t& Result);

    const Far3::GUID Id;
    // Requested screen position (-1: centred) and size.
    int32_t Left = -1;
    int32_t Top = -1;
    int32_t Width = 0;
    int32_t Height = 0;
    String HelpTopic;
    Far3::FARDIALOGFLAGS Flags = 0;

private:
    // Called by the control constructors and destructor.
    int32_t AddControl(TControl& Control);
    void RemoveControl(TControl& Control);
    int32_t PositionOf(const TControl& Control) const;
    void RemoveSlot(int32_t Position);
    Far3::FarDialogItem& HostItem(int32_t Index);
    // The control at a host item position, or null outside the controls.
    TControl* ControlAt(intptr_t Position) const;

    Far3::HANDLE Handle = Far3::InvalidHandleValue;
    // Both arrays are as long as the capacity; slots past ControlCount are
    // empty and their records zero. The dialog owns every registered control.
    std::vector<Far3::FarDialogItem> HostItems;
    std::vector<std::unique_ptr<TControl>> ControlList;
    int32_t ControlCount = 0;
    int32_t RedrawLock = 0;
    // A failure raised while handling a host event: kept until Execute
    // raises it again, since it must not travel through the host's frames.
    std::exception_ptr HandlerFailure;
};

} // namespace Tessel
