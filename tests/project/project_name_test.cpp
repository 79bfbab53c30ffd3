#include <gtest/gtest.h>

#include "project/project_name.h"

namespace {

TEST(ProjectNameTest, ExtensionIsAddedOnlyWhenThePathHasNoVlmAnywhere) {
  EXPECT_EQ(ProjectFileNameFor("/p/demo"), "/p/demo.vlm");
  EXPECT_EQ(ProjectNameFor("/p/demo"), "demo");
  EXPECT_EQ(ProjectFileNameFor("/p/Demo.VLM"), "/p/Demo.VLM");
  EXPECT_EQ(ProjectNameFor("/p/Demo.VLM"), "Demo");
  // ".vlm" in a folder name counts: no extension, and the name is the last part.
  EXPECT_EQ(ProjectFileNameFor("/my.vlm.files/demo"), "/my.vlm.files/demo");
  EXPECT_EQ(ProjectNameFor("/my.vlm.files/demo"), "demo");
  EXPECT_EQ(ProjectNameFor("/p/a.vlm.vlm"), "a");
}

TEST(ProjectNameTest, BlanksAndLettersBeyondAsciiStayAsTheyAre) {
  const QString path = QString::fromUtf8("/home/jörg/Mein Projekt ÄÖ");
  EXPECT_EQ(ProjectFileNameFor(path), path + ".vlm");
  EXPECT_EQ(ProjectNameFor(path), QString::fromUtf8("Mein Projekt ÄÖ"));
  EXPECT_EQ(ProjectNameFor(QString::fromUtf8("/p/straße.Vlm")), QString::fromUtf8("straße"));
}

}  // namespace
