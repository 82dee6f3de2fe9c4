#include "log_report.h"
#include "log_test_support.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vorn {
namespace {

TEST(VornlogReport, JsonNamesEveryRecordKindAndEscapesItsText) {
    LogReadResult result =
        ParseInstallLog(test::LogWith({"Uninstall MIF: P.MIF", "Manufacturer: Acme \"Tools\"",
                                       "Product: Pl\xE4ndra",  "User Rights: Admin",
                                       "File Copy: C:\\A.EXE", "File Overwrite: A",
                                       "Shell Link: A",        "File Edit: A",
                                       "Self-Register: A",     "Made Dir: A",
                                       "File Tree: A",         "Icon Group: G",
                                       "Icon Name: N",         "Icon Cmd: C",
                                       "INI New: Created INI", "INI File: F",
                                       "INI Sect: S",          "INI Item: K",
                                       "INI File: C:\\W.INI",  "INI Sect: S",
                                       "INI Item: K",          "INI Val: v",
                                       "RegDB Key: K",         "RegDB Val: v",
                                       "RegDB Type: 2",        "RegDB Old: a",
                                       "RegDB Old: b",         "RegDB Tree: K",
                                       "Create Service: S",    "Add Device: D",
                                       "Execute Path: P",      "SubSystem: BDE"}));
    ASSERT_FALSE(result.Error.has_value());
    std::ostringstream out;
    cli::WriteLogJson(out, result.Log);
    const std::string json = out.str();
    for (const char* kind :
         {"adminRights", "fileCopy", "fileOverwrite", "shellLink", "fileEdit", "selfRegister",
          "madeDir", "fileTree", "iconGroup", "iconItem", "iniNew", "iniEntry", "regValue",
          "regTree", "service", "addDevice", "uninstallProgram", "subSystem"}) {
        EXPECT_NE(json.find("{\"kind\": \"" + std::string(kind) + "\""), std::string::npos) << kind;
    }
    for (const char* part :
         {"{\"title\": \"Plandra\", \"sections\": 1, \"lastSectionOffset\": 0, \"info\": "
          "{\"mif\": \"P.MIF\", \"manufacturer\": \"Acme \\\"Tools\\\"\", \"product\": "
          "\"Pl\xC3\xA4ndra\", \"version\": \"\", \"serial\": \"\"}, \"records\": [",
          "{\"kind\": \"fileCopy\", \"installation\": 1, \"path\": \"C:\\\\A.EXE\", "
          "\"backup\": \"\", \"nonSystem\": false, \"sharedCountIgnored\": false}, ",
          "\"file\": \"C:\\\\W.INI\", \"section\": \"S\", \"key\": \"K\", \"value\": \"v\", "
          "\"old\": null}, ",
          "{\"kind\": \"regValue\", \"installation\": 1, \"key\": \"K\", \"value\": \"v\", "
          "\"name\": \"\", \"type\": 2, \"root\": 0, \"olds\": [\"a\", \"b\"]}, ",
          "]}\n"}) {
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
    }
}

} // namespace
} // namespace vorn
