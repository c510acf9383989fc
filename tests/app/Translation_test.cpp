// The window in English and in Russian: Russian locales load the program's
// translation, and the texts the design fixes (the Russian tool hints, the
// window and about window texts) read the same in both.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <gtest/gtest.h>
#include <map>

#include "ScopedLocale.h"
#include "app/AboutUnit.h"
#include "app/MainUnit.h"

namespace {

// Every tool hint, title, label and button text of both windows, by object.
std::map<QString, QString> FixedTexts()
{
    TfrmAbout about;
    TfrmTallowin frm(about);
    std::map<QString, QString> texts;
    for (QWidget* top : {static_cast<QWidget*>(&frm), static_cast<QWidget*>(&about)}) {
        texts[top->objectName() + QStringLiteral(".title")] = top->windowTitle();
        for (QWidget* w : top->findChildren<QWidget*>()) {
            if (!w->toolTip().isEmpty())
                texts[w->objectName() + QStringLiteral(".hint")] = w->toolTip();
            if (auto* b = qobject_cast<QAbstractButton*>(w))
                texts[w->objectName() + QStringLiteral(".text")] = b->text();
            if (auto* l = qobject_cast<QLabel*>(w))
                texts[w->objectName() + QStringLiteral(".text")] = l->text();
        }
    }
    return texts;
}

TEST(Translation, RussianLoadsTheTranslationAndKeepsTheFixedTexts)
{
    std::map<QString, QString> english;
    {
        const ScopedLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
        EXPECT_FALSE(locale.Translated());  // the source texts are English
        english = FixedTexts();
    }
    const ScopedLocale locale(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_TRUE(locale.Translated());
    const std::map<QString, QString> russian = FixedTexts();
    EXPECT_EQ(russian, english);
    EXPECT_EQ(russian.at(QStringLiteral("btnGo.hint")), QStringLiteral("Сканировать выбранное устройство"));
    EXPECT_EQ(russian.at(QStringLiteral("cbxDrive.hint")), QStringLiteral("Выберите устройство"));
    EXPECT_EQ(russian.count(QStringLiteral("btnOK.text")), 1u);
}

// The window's own texts (status bar, menus) in Russian. Stub: this branch
// has none yet; finish once they are merged: under ScopedLocale(Russian)
// find one of them translated, and under English its source text.
TEST(Translation, DISABLED_OwnTextsInRussian) {}

}  // namespace
