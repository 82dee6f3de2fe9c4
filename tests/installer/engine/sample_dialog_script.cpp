// The sample installation script with dialogs.
#include "sample_dialog_script.h"

#include "billboard_script.h"
#include "engine_fakes.h"
#include "file_install_sample.h"
#include "installer/engine/dialog_set_builder.h"
#include "installer/engine/page_lists.h"
#include "installer/engine/script_header.h"
#include "sample_install_script.h"

#include <algorithm>
#include <cstring>

namespace vorn {

namespace {

namespace dlg = platform::dlg;
using platform::ControlKind;

const std::vector<std::uint8_t>* Archive = nullptr;
InstallContext* Context = nullptr;

std::int32_t PLATFORM_WINAPI CopyDecompress(std::uintptr_t, std::uintptr_t, std::uint32_t size,
                                            std::uint32_t) {
    if (Archive == nullptr || Context->ArchiveOffset > Archive->size() ||
        Archive->size() - Context->ArchiveOffset < size) {
        Context->ErrorCode = context_error::ArchiveReadFailure;
        return 0;
    }
    if (Context->DecompressTarget != nullptr) {
        std::memcpy(Context->DecompressTarget, Archive->data() + Context->ArchiveOffset, size);
    }
    return static_cast<std::int32_t>(size);
}

platform::DialogTemplate Page(std::string caption, std::vector<platform::DialogControl> controls) {
    platform::DialogTemplate t;
    t.Style |= dlg::DsSetFont;
    t.Caption = std::move(caption);
    t.PointSize = 8;
    t.FaceName = "MS Sans Serif";
    t.Width = 200;
    t.Height = 110;
    t.Controls = std::move(controls);
    return t;
}

// The message table with readable texts where the dialogs on screen show them.
std::vector<std::string> ShownMessages() {
    std::vector<std::string> messages = testing::NumberedMessages();
    for (auto [at, text] : {std::pair<int, const char*>{8, "Confirm the "},
                            {9, " directory:"},
                            {10, "Setup Directories"},
                            {17, "Setup Error"},
                            {18, "Plandra Setup"},
                            {27, "OK"},
                            {28, "Cancel"},
                            {29, "Copying Files"},
                            {31, "Setup is not complete. Do you really want to leave it?"},
                            {35, "Yes"},
                            {36, "No"}}) {
        messages[static_cast<std::size_t>(at)] = text;
    }
    return messages;
}

constexpr std::uint32_t Tab = dlg::WsTabStop;
constexpr std::uint32_t TabGroup = dlg::WsTabStop | dlg::WsGroup;

} // namespace

DialogSample BuildDialogSample() {
    ControlKind button = ControlKind::Button;
    DialogPageLayout options{
        Page("Setup Options",
             {platform::MakeDialogControl(ControlKind::Static, 0, 100, "Name:", 7, 7, 40, 10),
              platform::MakeDialogControl(ControlKind::Edit,
                                          dlg::WsBorder | dlg::EsAutoHScroll | TabGroup, 10, "", 50,
                                          5, 140, 12),
              platform::MakeDialogControl(button, dlg::BsAutoRadioButton | TabGroup, 20, "Typical",
                                          7, 25, 60, 10),
              platform::MakeDialogControl(button, dlg::BsAutoRadioButton, 21, "Compact", 7, 37, 60,
                                          10),
              platform::MakeDialogControl(button, dlg::BsAutoRadioButton, 22, "Custom", 7, 49, 60,
                                          10),
              platform::MakeDialogControl(button, dlg::BsAutoCheckBox | TabGroup, 30, "Program",
                                          100, 25, 60, 10),
              platform::MakeDialogControl(button, dlg::BsAutoCheckBox | TabGroup, 31, "Samples",
                                          100, 37, 60, 10),
              platform::MakeDialogControl(button, dlg::BsDefPushButton | TabGroup, 1, "Next >", 90,
                                          90, 50, 14),
              platform::MakeDialogControl(button, Tab, 2, "Cancel", 145, 90, 50, 14)}),
        {},
        {"Setup Options"},
        {{control_kind::Edit, 10, 11, 0, 0, 2, 0, {""}, "NAME", ""},
         {control_kind::RadioGroup, 20, 23, 0, 0, 0, 0, {""}, "KIND", ""},
         {control_kind::CheckGroup, 30, 32, 0, 0, 0, 0, {""}, "PARTS", ""},
         {control_kind::Button, 1, 2, 1, page_action::Next, 0, 0, {""}, "", ""},
         {control_kind::Button, 2, 3, 0, page_action::Cancel, 0, 0, {""}, "", ""}}};
    options.Fonts.push_back({-11, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"});
    DialogPageLayout folder{
        Page("Setup Folder",
             {platform::MakeDialogControl(ControlKind::Edit,
                                          dlg::WsBorder | dlg::EsAutoHScroll | TabGroup, 40, "", 7,
                                          5, 180, 12),
              platform::MakeDialogControl(ControlKind::ListBox,
                                          dlg::WsBorder | dlg::WsVScroll | dlg::LbsMultipleSel |
                                              dlg::LbsNotify | TabGroup,
                                          50, "", 7, 22, 180, 60),
              platform::MakeDialogControl(button, TabGroup, 3, "< Back", 90, 90, 50, 14),
              platform::MakeDialogControl(button, dlg::BsDefPushButton | TabGroup, 1, "Finish", 145,
                                          90, 50, 14)}),
        {},
        {"Setup Folder"},
        {{control_kind::PathField, 40, 41, 0, 0, 0, entry_flag::DriveOnly, {""}, "DRIVE", ""},
         {control_kind::List,
          50,
          51,
          0,
          0,
          0,
          entry_flag::Letters,
          {"Alpha\r\nBeta\r\nGamma"},
          "ITEMS",
          ""},
         {control_kind::Button, 3, 4, 0, page_action::Back, 0, 0, {""}, "", ""},
         {control_kind::Button, 1, 2, 0, page_action::Finish, 0, 0, {""}, "", ""}}};
    DialogSample sample;
    sample.Archive = BuildDialogSet({options, folder});

    ScriptHeader h = SampleHeader();
    h.StatusFileName = DialogSampleStatusFile;
    h.StatusFileTemplate = "%6%|%NAME%|%KIND%|%PARTS%|%DRIVE%|%ITEMS%|%7%";
    ScriptBuilder b;
    b.CallDll(call::OwnFunction, "", "f16", {std::string("1") + Sep + "PARTS" + Sep + "A"});
    auto size = static_cast<std::uint32_t>(sample.Archive.size());
    CustomDialogSetRecord(b, 0, size, size);
    // Skipped: its condition does not hold.
    CustomDialogSetRecord(b, 0, size, size, "NAME", "nobody");
    b.Exit();
    sample.Script = WithHeader(h, b);
    return sample;
}

DialogPageLayout BuildListsPage() {
    auto control = [](ControlKind kind, std::uint32_t style, std::uint16_t id, int x, int y,
                      int width, int height) {
        return platform::MakeDialogControl(
            kind, style, id, "", static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
            static_cast<std::int16_t>(width), static_cast<std::int16_t>(height));
    };
    constexpr std::uint32_t list = dlg::WsBorder | dlg::WsVScroll | dlg::LbsNotify | TabGroup;
    platform::DialogTemplate form = Page("Folders", {});
    form.Width = 230;
    form.Height = 150;
    form.Controls = {control(ControlKind::ListBox, list, 60, 7, 7, 100, 100),
                     control(ControlKind::Static, 0, 61, 7, 110, 100, 10),
                     control(ControlKind::ListBox,
                             list | dlg::LbsMultipleSel | dlg::LbsOwnerDrawFixed |
                                 dlg::LbsHasStrings | dlg::LbsUseTabStops,
                             70, 115, 7, 108, 60),
                     control(ControlKind::Static, 0, 71, 115, 70, 108, 10),
                     control(ControlKind::Static, 0, 72, 115, 82, 108, 10),
                     platform::MakeDialogControl(ControlKind::Button,
                                                 dlg::BsDefPushButton | TabGroup, 1, "Finish", 173,
                                                 130, 50, 14)};
    return {form,
            {},
            {"Folders"},
            {{control_kind::List, 60, 62, 0, 0, 0, entry_flag::Browser, {""}, "DIR", ""},
             {control_kind::List,
              70,
              73,
              0,
              0,
              0,
              entry_flag::PartList,
              {"Program\t1200\r\nSamples\t300\r\nHelp\t45"},
              "PARTS",
              "DIR"},
             {control_kind::Button, 1, 2, 0, page_action::Finish, 0, 0, {""}, "", ""}}};
}

DialogSample BuildListsSample(const std::string& directory) {
    DialogSample sample;
    sample.Archive = BuildDialogSet({BuildListsPage()});
    ScriptHeader h = SampleHeader();
    h.StatusFileName = DialogSampleStatusFile;
    h.StatusFileTemplate = "%6%|%DIR%|%PARTS%|%7%";
    ScriptBuilder b;
    b.CallDll(call::OwnFunction, "", "f16", {std::string("1") + Sep + "DIR" + Sep + directory});
    b.CallDll(call::OwnFunction, "", "f16",
              {std::string("1") + Sep + "PARTS" + Sep + "Program Help"});
    auto size = static_cast<std::uint32_t>(sample.Archive.size());
    CustomDialogSetRecord(b, 0, size, size);
    b.Exit();
    sample.Script = WithHeader(h, b);
    return sample;
}

DialogSample BuildDialogKindsSample() {
    platform::DialogTemplate welcome = Page("Welcome", {});
    welcome.Height = 120;
    welcome.Controls = {
        platform::MakeDialogControl(ControlKind::Static, 0, 80,
                                    "Setup installs Plandra on this computer. Choose Finish to "
                                    "begin.",
                                    7, 7, 186, 30),
        platform::MakeDialogControl(ControlKind::Button, dlg::BsDefPushButton | TabGroup, 1,
                                    "Finish", 143, 99, 50, 14)};
    DialogSample sample;
    sample.Archive = BuildDialogSet(
        {{welcome,
          {},
          {"Welcome"},
          {{control_kind::Button, 1, 2, 0, page_action::Finish, 0, 0, {""}, "", ""}}}},
        2);
    const auto setSize = static_cast<std::uint32_t>(sample.Archive.size());
    const std::vector<std::uint8_t> picture = testing::TestBitmap(120, 180, 8, 30);
    sample.Archive.insert(sample.Archive.end(), picture.begin(), picture.end());

    ScriptHeader h = SampleHeader();
    h.StatusFileName = DialogSampleStatusFile;
    h.StatusFileTemplate = "%6%|%LANG%|%7%";
    h.FontFace = "MS Sans Serif";
    h.FontPointSize = 8;
    h.LanguageDialogTitle = "Setup Language";
    h.LanguageDialogPrompt = "Choose the language of the installation:";
    h.Languages = {{"English", "ENU"}, {"Deutsch", "DEU"}};
    std::vector<std::string> messages = ShownMessages();
    h.Texts = {{"Plandra Setup", messages}, {"Plandra Setup", messages}};
    const std::string pictureFields = std::to_string(setSize) + Sep +
                                      std::to_string(picture.size()) + Sep +
                                      std::to_string(picture.size());
    ScriptBuilder b(2);
    b.CallDll(call::OwnFunction, "", "f31",
              {std::string("0") + Sep + "DIR" + Sep + "PAGE" + Sep + "0" + Sep + "0" + Sep + "0" +
               Sep + pictureFields + Sep + "Welcome"});
    CustomDialogSetRecord(b, 0, setSize, setSize, "PAGE", "Welcome");
    b.CallDll(call::OwnFunction, "", "f31", {std::string("1") + Sep + "DIR" + Sep + "PAGE"});
    b.Exit();
    sample.Script = WithHeader(h, b);
    return sample;
}

DialogSample BuildDiskPromptSample(const std::string& destination) {
    ControlKind button = ControlKind::Button;
    platform::DialogTemplate form =
        Page("Setup Disk",
             {platform::MakeDialogControl(ControlKind::Static, 0, 100,
                                          "Please insert the disk with this number and choose OK.",
                                          7, 7, 186, 20),
              platform::MakeDialogControl(ControlKind::Edit, dlg::WsBorder | dlg::EsReadOnly, 10,
                                          "", 7, 30, 40, 12),
              platform::MakeDialogControl(button, dlg::BsDefPushButton | TabGroup, 1, "OK", 90, 40,
                                          50, 14),
              platform::MakeDialogControl(button, Tab, 2, "Cancel", 145, 40, 50, 14)});
    form.Height = 60;
    DialogPageLayout prompt{
        form,
        {},
        {"Setup Disk"},
        {{control_kind::Edit, 10, 11, 0, 0, 0, 0, {""}, "DISK_NUMBER", ""},
         {control_kind::Button, 1, 2, 0, page_action::Finish, 0, 0, {""}, "", ""},
         {control_kind::Button, 2, 3, 0, page_action::Cancel, 0, 0, {""}, "", ""}}};
    DialogSample sample;
    sample.Archive = BuildDialogSet({prompt});
    sample.DiskPromptSetSize = static_cast<std::uint32_t>(sample.Archive.size());
    // The file's offset counts from the end of the set: 1500 lies on the second disk.
    constexpr std::uint32_t FileOffset = 1500;
    const std::string content = "disk two";
    sample.Archive.resize(sample.DiskPromptSetSize + FileOffset);
    sample.Archive.insert(sample.Archive.end(), content.begin(), content.end());
    const auto size = static_cast<std::uint32_t>(content.size());
    PackedPayload payload{{{"two", FileOffset, size, size, 0, ItemStorage::Stored}}, {}};
    std::vector<std::uint8_t> script = FileInstallScript(payload, {{"two", destination}});
    HeaderReadResult read = ReadScriptHeader(script);
    ScriptHeader h = read.Header;
    h.BytesPerDisk = 1024;
    h.StatusFileName = DialogSampleStatusFile;
    h.StatusFileTemplate = "%6%|%DISK_NUMBER%|%7%";
    std::vector<std::string> messages = ShownMessages();
    h.Texts = {{"Plandra Setup", messages}};
    sample.Script = WriteScriptHeader(h);
    sample.Script.insert(sample.Script.end(), script.begin() + read.RecordsOffset, script.end());
    return sample;
}

void UseDialogSample(InstallContext& context, const DialogSample& sample) {
    Archive = &sample.Archive;
    Context = &context;
    context.PieceSizes[static_cast<std::size_t>(EmbeddedPiece::DiskPromptDialogs)] =
        sample.DiskPromptSetSize;
    context.DiskPromptSetSize = sample.DiskPromptSetSize;
    context.Decompress = &CopyDecompress;
    context.Script = const_cast<std::uint8_t*>(sample.Script.data());
    context.ScriptLength = static_cast<std::uint32_t>(sample.Script.size());
}

} // namespace vorn
