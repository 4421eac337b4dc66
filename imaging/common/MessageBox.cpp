#include "imaging/common/MessageBox.h"

#include "platform/Message.h"

#include <QApplication>
#include <QMessageBox>

namespace {

void showBox(const char* text, void*) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                    QString::fromUtf8(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace

void InstallMessageBoxHandler() {
    SetMessageHandler(&showBox, nullptr);
}
