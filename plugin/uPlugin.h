// TPlugin: the renamer's plugin class, the one plugin object of the library.
// It tells the host who the plugin is and which menu entries it has, supplies
// the framework's standard texts from the language file, owns the options,
// and carries the renamer's work: the name template expansion and the
// rename run over a panel snapshot.
#pragma once

#include "framework/FarPanel.h"
#include "framework/Tessel.h"
#include "plugin/uMessages.h"
#include "plugin/uNameRule.h"
#include "plugin/uOptions.h"
#include "plugin/uPreview.h"

#include <memory>

namespace Zelvane {

using Base::String;

class TPlugin : public Tessel::TFarPlugin {
public:
    TPlugin();
    ~TPlugin() override;

    Far3::GUID GetPluginGuid() override;
    String GetPluginIdentity(String& description, String& author) override;
    void GetMenus(Far3::PLUGIN_FLAGS& flags, TFarPluginMenu& pluginMenu, TFarPluginMenu& configMenu,
                  TFarPluginMenu& diskMenu, String& commandPrefix) override;
    Far3::HANDLE Open(int32_t openFrom, const Far3::GUID* guid, intptr_t data) override;
    bool Configure(const Far3::GUID* const* guid, intptr_t reserved) override;
    void Log(const String& text) override;
    String GetStandardText(int kind) override;

    // The options, created and loaded on first use.
    TOptions& GetOptions();
    void DiscardOptions();

    // The new name of `fileName` under the current template, with this
    // file's counter value and the number of files in the run; the template
    // is compiled for the call (a run compiles it once: TRenamePlan). It
    // knows the name only: %{folder} gives nothing and the date tokens stay
    // as written. A template whose regular expression does not compile
    // gives the empty text.
    String ExpandTemplate(Base::StringView fileName, int32_t counter, int32_t total);
    // The same for a given template and counter width, as the dialog holds
    // them before they are confirmed.
    static String ExpandWith(Base::StringView fileNameTemplate, size_t width, Base::StringView fileName, int32_t counter,
                             int32_t total);
    // `text` with zeros in front up to the starting number's width (never cut).
    String PadNumber(const String& text);
    static String PadTo(const String& text, size_t width);
    // The counter's step to the next file: 32 bits that wrap instead of
    // overflowing (2147483647 is followed by -2147483648).
    static int32_t NextCounter(int32_t value);
    // Replaces the `tokenLength` characters of `text` at `position` (0-based)
    // by `replacement`; `position` ends just after the inserted text.
    static void ReplaceToken(String& text, const String& replacement, size_t& position, size_t tokenLength);

    // The items of the panel whose selected flag is set.
    int32_t CountSelected(const Tessel::TFarPanel& panel);
    // Renames every selected file of the snapshot in panel order. Failures
    // stay selected, give their counter value back and are listed in a
    // temporary file opened in the host's editor. Every rename that moves a
    // file is written to the undo journal before it is made (in batches),
    // and its outcome after. Nothing is renamed when another window holds
    // the journal, or when it cannot be made and the user says No. True
    // when at least one file was processed and none failed.
    bool RenameFiles(Tessel::TFarPanel& panel, bool rememberCounter);
    // The names of the files a run over the snapshot takes, in panel order:
    // the selected items, or the one under the cursor when nothing is
    // selected and the options allow it. The snapshot is left as it is.
    std::vector<String> RunFileNames(const Tessel::TFarPanel& panel);
    // The times of the same files, in the same order.
    std::vector<TRunFileTimes> RunFileTimes(const Tessel::TFarPanel& panel);
    // True when every regular expression of the template compiles; else
    // tells the user which one does not, and why.
    static bool TemplateCompiles(const String& fileNameTemplate);
    // Shows in the host's viewer what a run with this template and starting
    // number would do; touches no file and saves nothing.
    void PreviewFiles(const Tessel::TFarPanel& panel, const String& fileNameTemplate, const String& startingNumber);

private:
    std::unique_ptr<TOptions> Options;
};

} // namespace Zelvane
