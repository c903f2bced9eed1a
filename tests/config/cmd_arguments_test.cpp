#include "config/cmd_arguments.h"

#include <gtest/gtest.h>

#include "config/embedded_settings.h"
#include "config/layered_settings_store.h"
#include "config_test_helpers.h"

namespace {

using Arguments = std::vector<std::wstring>;

class CmdArgumentsTest : public testing::Test {
protected:
    Arguments appendedFrom(std::string_view fileText, Arguments arguments = {L"doc.txt"})
    {
        writeFileBytes(path_, fileText);
        appendCmdArguments(LayeredSettingsStore(path_).readSetting(L"Application", L"Cmd"),
                           arguments);
        return arguments;
    }

    TempFolder folder_;
    std::wstring path_ = folder_.file(L"start.ini");
};

TEST_F(CmdArgumentsTest, PiecesComeAfterTheCommandLineArgumentsWithoutEmptyOnes)
{
    EXPECT_EQ(appendedFrom("[Application]\r\nCmd=-open \"C:\\My Files\\a.txt\" \"\" -x\r\n"),
              (Arguments{L"doc.txt", L"-open", L"C:\\My Files\\a.txt", L"-x"}));
    EXPECT_EQ(appendedFrom("[Application]\r\nCmd=\r\n"), Arguments{L"doc.txt"});
    EXPECT_EQ(appendedFrom("[Other]\r\nCmd=-x\r\n"), Arguments{L"doc.txt"});
}

TEST_F(CmdArgumentsTest, VariablesAreExpandedBeforeTheTextIsSplit)
{
    EnvironmentVariableGuard twoWords(L"TARVO_TEST_TWO_WORDS", L"first second");
    EnvironmentVariableGuard empty(L"TARVO_TEST_EMPTY", L"");
    EnvironmentVariableGuard unset(L"TARVO_TEST_UNSET", nullptr);
    // A value with a blank becomes two arguments; an empty value leaves no
    // argument behind; an unset variable stays as written.
    EXPECT_EQ(appendedFrom("[Application]\r\n"
                           "Cmd=%TARVO_TEST_TWO_WORDS% %TARVO_TEST_EMPTY% %TARVO_TEST_UNSET%\r\n",
                           {}),
              (Arguments{L"first", L"second", L"%TARVO_TEST_UNSET%"}));
    // Quotes around the whole value are taken off by the profile functions;
    // quotes inside it keep the expanded words together.
    EXPECT_EQ(appendedFrom("[Application]\r\nCmd=-a \"%TARVO_TEST_TWO_WORDS%\"\r\n", {}),
              (Arguments{L"-a", L"first second"}));
}

TEST_F(CmdArgumentsTest, PlusSectionExtendsTheEmbeddedValue)
{
    EnvironmentVariableGuard folder(L"TARVO_TEST_CMD_FOLDER", L"C:\\Daten");
    writeFileBytes(path_, "[Application+]\r\nCmd=-last\r\n");
    Arguments arguments{L"doc.txt"};
    appendCmdArguments(openLayeredSettings(path_).readSetting(L"Application", L"Cmd"), arguments);
    EXPECT_EQ(arguments,
              (Arguments{L"doc.txt", L"--embedded", L"C:\\Daten\\Datei \u00e4.txt", L"-last"}));
}

}  // namespace
