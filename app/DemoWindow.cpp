#include "app/DemoWindow.h"

#include "bindings/ErrorInvalid.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/still/TPMultiImage.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

DemoWindow::DemoWindow(const std::vector<std::string>& animations,
                       const std::vector<std::string>& stills)
    : FStills(stills) {
    setWindowTitle("Quillon's Zentrope");
    auto* row = new QHBoxLayout(this);

    auto* playing = new QGroupBox("Animations", this);
    auto* playingColumn = new QVBoxLayout(playing);
    for (const std::string& file : animations) {
        // The component sizes itself to the animation: give it a plain
        // holder, as a layout would override its geometry.
        auto* holder = new QWidget(playing);
        auto* image = new PVWebImage(holder);
        image->SetAutoSize(true);
        image->Loaded();
        QString caption = QString::fromStdString(std::filesystem::path(file).filename().string());
        try {
            image->LoadFromFile(file);
            image->Play();
            caption += QString(": %1 frames").arg(image->Frames()->size());
        } catch (const ErrorInvalid& e) {
            caption += QString(": ") + e.what();
        }
        holder->setMinimumSize(std::max(image->width(), 40), std::max(image->height(), 40));
        playingColumn->addWidget(new QLabel(caption, playing));
        playingColumn->addWidget(holder);
        FAnimations.push_back(image);
    }
    playingColumn->addStretch();
    row->addWidget(playing);

    auto* still = new QGroupBox("Still pictures", this);
    auto* stillColumn = new QVBoxLayout(still);
    FStill = new TPMultiImage(still);
    FStill->Loaded();
    FStill->SetStretchRatio(true);
    FStill->setMinimumSize(360, 240);
    FStillCaption = new QLabel(still);
    auto* next = new QPushButton("Next picture", still);
    connect(next, &QPushButton::clicked, this, &DemoWindow::ShowNextStill);
    next->setEnabled(FStills.size() > 1);
    stillColumn->addWidget(FStillCaption);
    stillColumn->addWidget(FStill, 1);
    stillColumn->addWidget(next);
    row->addWidget(still, 1);

    connect(&FTimer, &QTimer::timeout, this, [this] {
        for (PVWebImage* image : FAnimations)
            image->StepFrame();
    });
    FTimer.start(100);
    ShowNextStill();
}

void DemoWindow::ShowNextStill() {
    if (FStills.empty()) {
        FStill->SetImageName("SPLASH.RES");
        FStillCaption->setText("SPLASH.RES");
        return;
    }
    const std::string& file = FStills[FStillIndex++ % FStills.size()];
    FStill->SetImageName(file);
    FStillCaption->setText(
        QString("%1: %2 x %3, %4 bits per pixel")
            .arg(QString::fromStdString(std::filesystem::path(file).filename().string()))
            .arg(FStill->ImageWidth)
            .arg(FStill->ImageHeight)
            .arg(FStill->ImageBitsPerPixel));
}
