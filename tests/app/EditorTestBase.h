#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include "app/EditorWindow.h"
#include "core/StringList.h"
#include "support/ScriptedDialogs.h"

// An editor's world for one test: a temporary root with the program folder (marked as
// installed, so registration stays out of the way), documents, data, configuration, picture
// and work folders, and scripted dialogs.
class EditorTestBase : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_temp.isValid());
        for (const char* folder : {"program", "docs", "data", "config", "pics", "work", "out"})
            QDir().mkpath(Root() + folder);
        // Registration has its own test; the others start as an installed program.
        core::SaveStringList((Program() + "ORVFIRST").toStdString(), {});
    }

    QString Root() const { return m_temp.path() + "/"; }
    QString Program() const { return Root() + "program/"; }
    QString Pics() const { return Root() + "pics/"; }
    QString Work() const { return Root() + "work/"; }
    QString Out() const { return Root() + "out/"; }

    // The environment of an editor living in these folders.
    app::EditorWindow::Environment Environment(QStringList arguments = {}) {
        app::EditorWindow::Environment environment;
        environment.programFolder = Program();
        environment.fallbackFolder = Root() + "config/";
        environment.dataHome = Root() + "data";
        environment.documentsFolder = Root() + "docs/";
        environment.executable = Program() + "pictavo";
        environment.arguments = std::move(arguments);
        environment.dialogs = &m_dialogs;
        return environment;
    }

    QTemporaryDir m_temp;
    platform::ScriptedDialogs m_dialogs;
};
