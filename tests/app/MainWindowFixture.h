// A shown main window with its about window, Escape counted instead of
// ending the test run.
#pragma once

#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include "app/SizeTreeView.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/AboutUnit.h"
#include "app/MainUnit.h"
#include "app/SizeTreeModel.h"
#include "chart/qt/Chart.h"

class MainWindowTest : public testing::Test {
protected:
    MainWindowTest() : frm(about)
    {
        frm.SetEndProgram([this] { ++endCalls; });
        frm.show();
        QApplication::processEvents();
    }

    // Paths of the top-level entries, in order.
    std::vector<std::string> Roots()
    {
        std::vector<std::string> out;
        for (TTreeEntry* e = frm.SizeTree().FirstTopLevelEntry(); e; e = frm.SizeTree().NextSibling(e))
            out.push_back(e->Path());
        return out;
    }

    TTreeEntry* Child(TTreeEntry* parent, const std::string& name)
    {
        for (int i = 0; i < parent->ChildCount(); ++i)
            if (parent->ChildAt(i)->Name() == name)
                return parent->ChildAt(i);
        return nullptr;
    }

    // The FILES entry among folder's children, or nullptr.
    static TTreeEntry* FilesOf(const TTreeEntry* folder)
    {
        for (int i = 0; i < folder->ChildCount(); ++i)
            if (folder->ChildAt(i)->IsFiles())
                return folder->ChildAt(i);
        return nullptr;
    }

    // Lets the window's listings of loose files end and be put (after the
    // view's delayed layout has asked for them).
    void WaitForListings()
    {
        QTest::qWait(10);
        for (int i = 0; i < 2000 && frm.ListingFiles(); ++i)
            QTest::qWait(5);
        ASSERT_FALSE(frm.ListingFiles()) << "a listing of loose files did not end";
    }

    TfrmAbout about;
    TfrmTallowin frm;
    int endCalls = 0;
};
