// The controls of a TFarDialog: frames, labels, separators, buttons, check
// boxes and radio buttons (edits and list boxes are in FarDialogEdits.h).
//
// A control registers itself with its dialog when it is constructed, which
// fixes its position, and from then on owns the host item record at that
// position, with its own copies of the texts the record points at. Every
// property call writes the record; while the dialog is active it also asks
// or tells the host dialog, so the same calls work before, during and after
// a run. Controls are made by the dialog's factories (AddButton, ...) and
// belong to the dialog.
#pragma once

#include "framework/FarDialog.h"

#include <functional>

namespace Tessel {

class TFarDialog::TControl {
public:
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    TFarDialog& GetDialog() const { return *Dialog; }
    // The control's position in its dialog, which is also its host item index.
    int32_t GetIndex() const { return Index; }

    // The width the control's contents need.
    virtual int32_t GetPreferredWidth();
    // The most rows the control takes; SetBounds caps the height at it.
    virtual int32_t GetMaxHeight();
    // Runs for every control when the host dialog starts.
    virtual void InitControl();
    // Ends whatever the control runs on other threads and waits until it has
    // ended; the dialog calls it before it destroys any control, since that
    // work may reach the control, its slot or the other controls.
    virtual void StopBackgroundWork() {}

    // The control's own record; Base::EListError "Index out of bounds" when
    // the control is no longer in its dialog.
    Far3::FarDialogItem& GetItem();
    Far3::FARDIALOGITEMTYPES GetType();

    // Position relative to the dialog's top-left corner; a width or height
    // of 0 or less leaves that extent to the host.
    void GetBounds(int32_t& Left, int32_t& Top, int32_t& Width, int32_t& Height);
    void SetBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height);
    int32_t GetLeft();
    int32_t GetTop();
    int32_t GetWidth();
    int32_t GetHeight();
    void SetLeft(int32_t Value);
    void SetTop(int32_t Value);
    void SetWidth(int32_t Value);
    void SetHeight(int32_t Value);

    String GetText();
    void SetText(const String& Text);
    bool GetChecked();
    void SetChecked(bool Checked);
    bool GetEnabled();
    void SetEnabled(bool Enabled);
    bool GetVisible();
    void SetFocused(bool Focused);
    Far3::FARDIALOGITEMFLAGS GetFlags();
    void SetFlags(Far3::FARDIALOGITEMFLAGS Flags);
    void SetDefault(bool Default);
    // An empty name means no history.
    void SetHistory(const String& Name);

    // Exchange with the host's copy of the item while the dialog is active:
    // false when it is not active or the host refuses.
    using TItemReader = std::function<void(const Far3::FarDialogItem& Item)>;
    using TItemModifier = std::function<void(Far3::FarDialogItem& Item)>;
    bool ReadHostItem(const TItemReader& Reader);
    bool UpdateHostItem(const TItemModifier& Modifier);

    // Flags with Bit set (On) or cleared, and the bits of Clear cleared either way.
    static Far3::FARDIALOGITEMFLAGS ChangeFlag(Far3::FARDIALOGITEMFLAGS Flags, Far3::FARDIALOGITEMFLAGS Bit,
                                               bool On, Far3::FARDIALOGITEMFLAGS Clear);

    // Focus is leaving the control; naming another control in Next moves it there instead.
    TExitEvent OnExit;
    // The control got the focus.
    TNotifyEvent OnEnter;
    // A key went down in the control; Handled stops the host's own processing.
    TKeyDownEvent OnKeyDown;

protected:
    TControl(TFarDialog& Dialog, Far3::FARDIALOGITEMTYPES Type);

    bool DialogActive() const { return Dialog->IsActive(); }
    // A message about this control to the host dialog.
    intptr_t SendToHost(intptr_t Msg, void* Param2);
    // One flag of the item on or off (read-modify-write while active).
    void SetFlag(Far3::FARDIALOGITEMFLAGS Bit, bool On);

private:
    friend class TFarDialog;

    TFarDialog* Dialog;
    int32_t Index = -1;
    // What the record's Data and History point at.
    String TextCopy;
    String HistoryCopy;
};

// Texts and frames: hotkey ampersands do not take a column.
class TFarDialog::TLabelLikeControl : public TControl {
public:
    int32_t GetPreferredWidth() override;
    void SetAlignment(TTextAlignment Alignment);
    void SetShowAmpersand(bool Show);
    bool GetShowAmpersand();

protected:
    TLabelLikeControl(TFarDialog& Dialog, Far3::FARDIALOGITEMTYPES Type, int32_t X, int32_t Y, int32_t Width,
                      int32_t Height, const String& Caption);
};

// A double-line frame; its caption is the title.
class TFarDialog::TDoubleBox : public TLabelLikeControl {
public:
    int32_t GetMaxHeight() override;

protected:
    TDoubleBox(TFarDialog& Dialog, int32_t X, int32_t Y, int32_t Width, int32_t Height, const String& Caption);

private:
    friend class TFarDialog;
};

class TFarDialog::TLabel : public TLabelLikeControl {
protected:
    TLabel(TFarDialog& Dialog, int32_t X, int32_t Y, int32_t Width, const String& Caption,
           TTextAlignment Alignment);

private:
    friend class TFarDialog;
};

// A horizontal line across the dialog on row Y; the host gives it its extent.
class TFarDialog::TSeparator : public TLabel {
protected:
    TSeparator(TFarDialog& Dialog, int32_t Y);

private:
    friend class TFarDialog;
};

// Buttons, check boxes and radio buttons: the host sizes them from their text.
class TFarDialog::TButtonLikeControl : public TControl {
public:
    int32_t GetPreferredWidth() override;
    void SetShowAmpersand(bool Show);
    bool GetShowAmpersand();
    void SetCenterGroup(bool CenterGroup);

protected:
    TButtonLikeControl(TFarDialog& Dialog, Far3::FARDIALOGITEMTYPES Type, int32_t X, int32_t Y,
                       const String& Caption);
};

class TFarDialog::TButton : public TButtonLikeControl {
public:
    // Pressing the button keeps the dialog open instead of closing it.
    void SetNoClose(bool NoClose);

    // Pressed; setting Flag keeps the dialog open.
    TButtonClickEvent OnClick;

protected:
    TButton(TFarDialog& Dialog, int32_t X, int32_t Y, const String& Caption);

private:
    friend class TFarDialog;
};

class TFarDialog::TCheckbox : public TButtonLikeControl {
public:
    // About to change to NewState (0 unchecked, 1 checked, 2 undetermined);
    // clearing Allow refuses the change.
    TCheckboxClickEvent OnClick;

protected:
    TCheckbox(TFarDialog& Dialog, int32_t X, int32_t Y, const String& Caption, bool Checked);

private:
    friend class TFarDialog;
};

class TFarDialog::TRadioButton : public TButtonLikeControl {
public:
    // Being selected or deselected; clearing Allow refuses it.
    TAllowEvent OnCheck;
    TAllowEvent OnUncheck;

protected:
    TRadioButton(TFarDialog& Dialog, int32_t X, int32_t Y, const String& Caption, bool Checked);
};

} // namespace Tessel
