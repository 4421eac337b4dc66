#pragma once
// A spin edit that takes any number typed and brings it into range when the
// typing ends: 70000 in a 0..65535 edit becomes 65535, where a plain spin
// box would refuse the last digit and leave 7000.
#include <QSpinBox>
#include <algorithm>

class TSpinEdit : public QSpinBox {
  public:
    explicit TSpinEdit(QWidget* parent = nullptr) : QSpinBox(parent) {
        setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    }

    QValidator::State validate(QString& text, int& pos) const override {
        const QValidator::State state = QSpinBox::validate(text, pos);
        if (state != QValidator::Invalid) return state;
        bool number = false;
        text.trimmed().toLongLong(&number);
        return number ? QValidator::Intermediate : QValidator::Invalid;
    }

    void fixup(QString& text) const override {
        bool number = false;
        const qlonglong value = text.trimmed().toLongLong(&number);
        if (number) text = QString::number(std::clamp<qlonglong>(value, minimum(), maximum()));
    }
};
