#include "settings/settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "support/test_env.h"

namespace {

using Parts = std::array<bool, kDocumentPartCount>;

class SettingsTest : public ::testing::Test {
 protected:
  QString IniPath() const { return dir_.filePath("Options.conf"); }
  QTemporaryDir dir_;
};

TEST_F(SettingsTest, FirstStartGivesDefaultsAndWritesNothing) {
  const QString data = testenv::Home() + "/data/VLM";
  const QString store = testenv::Home() + "/config/VLM/Options.conf";
  EXPECT_EQ(ProgramDirectory(), data);
  const Settings s = LoadSettings();
  EXPECT_EQ(s.History_file, data + "/Velmar.prh");
  EXPECT_EQ(s.Project_dir, data + "/");
  EXPECT_EQ(s.DBLog_history, data + "/Velmar.dbh");
  EXPECT_EQ(s.Document_parts, (Parts{true, true, true, true, true, true, true, true}));
  EXPECT_EQ(s, DefaultSettings());
  EXPECT_FALSE(QFile::exists(store));
}

// Every text value, found by its stored name, comes back exactly, whatever the INI format
// makes of its characters.
TEST_F(SettingsTest, AwkwardTextsComeBackExactlyUnderTheirNames) {
  const QStringList awkward = {",", ";", ":", "\"", "\\", "a,b", " lead", "trail ", "@x",
                               "=", "#x", "[x]", QString::fromUtf8("Größe € Ω"), "a\"b,c\\"};
  QStringList names = SettingsValueNames();
  ASSERT_EQ(names.size(), 30);
  names.removeOne("Document_parts");
  names.removeOne("Diagrams");
  names.removeOne("Documentation_comments");
  names.removeOne("Call_timeout");
  {
    QSettings store(IniPath(), QSettings::IniFormat);
    for (int i = 0; i < names.size(); ++i) store.setValue(names[i], awkward[i % awkward.size()]);
    store.setValue("Document_parts", "TTTFTTTT");
    store.setValue("Diagrams", "tables");
    store.setValue("Documentation_comments", "F");
    store.setValue("Call_timeout", "0");
  }
  QSettings store(IniPath(), QSettings::IniFormat);
  const Settings loaded = LoadSettings(store);
  EXPECT_FALSE(loaded.Part(DocumentPart::Views));
  EXPECT_EQ(loaded.Diagrams, DiagramChoice::Tables);
  EXPECT_FALSE(loaded.Documentation_comments);
  EXPECT_EQ(loaded.Call_timeout, 0);
  QSettings saved(dir_.filePath("saved.conf"), QSettings::IniFormat);
  QString error;
  ASSERT_TRUE(SaveSettings(loaded, saved, &error)) << error.toStdString();
  EXPECT_EQ(saved.allKeys().size(), 30);
  for (int i = 0; i < names.size(); ++i)
    EXPECT_EQ(saved.value(names[i]).toString(), awkward[i % awkward.size()]) << names[i].toStdString();
  EXPECT_EQ(LoadSettings(saved), loaded);
}

TEST_F(SettingsTest, EmptyAndWrongTypedValuesLoadTheirDefaults) {
  testenv::WriteBytes(IniPath(),
                      "[General]\nFunction_spot=\nFunction_colon=a,b\nFunction_semicolon=,\n"
                      "Function_opentag=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n"
                      "Package_closetag=@ByteArray(x)\nPackage_function=Func\nCall_timeout=-5\n");
  QSettings store(IniPath(), QSettings::IniFormat);
  QStringList notText;
  const Settings s = LoadSettings(store, &notText);
  EXPECT_EQ(notText, (QStringList{"Function_opentag", "Function_colon", "Function_semicolon",
                                  "Package_closetag"}));
  EXPECT_EQ(s.Function_spot, ",");
  EXPECT_EQ(s.Function_colon, ":");
  EXPECT_EQ(s.Function_semicolon, ";");
  EXPECT_EQ(s.Function_opentag, "<FD>");
  EXPECT_EQ(s.Package_closetag, "</PD>");
  EXPECT_EQ(s.Package_function, "Func");
  EXPECT_EQ(s.Call_timeout, 60);
}

TEST(DocumentParts, StoredTextRules) {
  EXPECT_EQ(DecodeDocumentParts("TFTFTFTFTTT"), (Parts{1, 0, 1, 0, 1, 0, 1, 0}));
  EXPECT_EQ(EncodeDocumentParts(DecodeDocumentParts("TFTFTFTFTTT")), "TFTFTFTF");
  EXPECT_EQ(DecodeDocumentParts("tttttttt"), Parts{});
  EXPECT_EQ(DecodeDocumentParts(""), (Parts{1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(DecodeDocumentParts("TTF"), (Parts{1, 1, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
