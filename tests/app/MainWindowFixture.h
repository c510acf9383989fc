// A shown main window with its about window, Escape counted instead of
// ending the test run.
#pragma once

#include <QApplication>
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

    TfrmAbout about;
    TfrmTallowin frm;
    int endCalls = 0;
};
