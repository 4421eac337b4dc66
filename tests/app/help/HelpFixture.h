#pragma once
// Shared set-up of the help tests: the real help file built beside the test
// program, and the messages the help system shows collected instead of shown.
#include "WidgetSupport.h"
#include "app/THelpWindow.h"
#include "platform/Message.h"
#include "platform/Module.h"

#include <gtest/gtest.h>

#include <QFile>
#include <string>
#include <vector>

class HelpTest : public ::testing::Test {
  protected:
    static std::string BuiltHelpFile() { return std::string(ProgramFolder()) + "/zentrope.hlp"; }

    void SetUp() override {
        testsupport::widgetApp();
        SetHelpFile(BuiltHelpFile());
        SetMessageHandler(
            [](const char* text, void* user) {
                static_cast<std::vector<std::string>*>(user)->push_back(text);
            },
            &messages);
    }
    void TearDown() override { SetMessageHandler(nullptr, nullptr); }

    // Raw text of a file inside the registered help bundle.
    static QString BundleText(const QString& name) {
        QFile file(":/zentrope-help/" + name);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    std::vector<std::string> messages;
};
