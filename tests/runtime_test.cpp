#include "app/gui/runtime.h"

#include <gtest/gtest.h>

namespace {

// Texts and bytes split alike, so a line's bytes give the same fields as its text.
TEST(NthField, SplitsTextsAndBytesAlike)
{
    const struct {
        const char* text;
        const char* separator;
        int n;
        const char* field;
    } cases[] = {
        {"Key=>/a=>note", "=>", 1, "Key"},
        {"Key=>/a=>note", "=>", 2, "/a"},
        {"Key=>/a=>note", "=>", 3, "note"},
        {"Key=>/a=>note", "=>", 4, ""},
        {"Key=>", "=>", 2, ""},
        {"=>/a", "=>", 1, ""},
        {"=>/a", "=>", 2, "/a"},
        {"Key", "=>", 1, "Key"},
        {"Key", "=>", 2, ""},
        {"Key=/a>", "=>", 1, "Key=/a>"},
        {"a=>>b", "=>", 2, ">b"},
        {"", "=>", 1, ""},
        {"a.b.c", ".", 2, "b"},
        {"a=>b", "=>", 0, ""},
        {"a=>b", "", 1, "a=>b"},
        {"a=>b", "", 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" at \"" << c.separator << "\", field " << c.n);
        EXPECT_EQ(gui::NthField(QString::fromLatin1(c.text), QString::fromLatin1(c.separator), c.n),
                  QString::fromLatin1(c.field));
        EXPECT_EQ(gui::NthField(QByteArray(c.text), QByteArray(c.separator), c.n), QByteArray(c.field));
    }
}

}  // namespace
