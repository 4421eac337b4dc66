// Batches through the codec binding's TWAIN wrappers against SANE's test
// device: the feeder, its faults mid-run, cancelling, a driver that stops
// answering, and the busy flag.
#include "SaneTestDevice.h"
#include "bindings/CodecBinding.h"
#include "libs/imagecore/Dib.h"
#include "platform/GlobalBlock.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Batch {
    // After this many pages a second option is set too.
    std::string option2, value2;
    std::vector<HGLOBAL> pages;
    // After this many pages the option is set on the running device.
    int faultAfter = -1;
    // Set mid-page (from the progress callback) rather than between pages:
    // the test backend's reader thread is then past its start, where
    // cancelling it (asynchronously) could leave the allocator locked.
    bool faultMidPage = false;
    bool faultRefused = false; // the device was still busy with the page
    std::string option, value;
    int cancelAfter = -1; // the progress callback answers stop once this many pages came
    bool nestedCallRefused = false;

    ~Batch() {
        for (HGLOBAL h : pages)
            zp::GlobalBlock::freeFully(h);
    }
};

int16_t PageArrived(uintptr_t dib, void* user) {
    auto* run = static_cast<Batch*>(user);
    run->pages.push_back(dib);
    if (!run->faultMidPage && int(run->pages.size()) == run->faultAfter) {
        ScannerSetRunningOption(run->option.c_str(), run->value.c_str());
        if (!run->option2.empty())
            ScannerSetRunningOption(run->option2.c_str(), run->value2.c_str());
    }
    // A second TWAIN call made from inside the first does nothing.
    run->nestedCallRefused = !DLL96V1::selectsource(0);
    return 1;
}

int16_t Progress(int16_t, void* user) {
    auto* run = static_cast<Batch*>(user);
    if (run->faultMidPage && int(run->pages.size()) == run->faultAfter) {
        run->faultRefused = ScannerSetRunningOption(run->option.c_str(), run->value.c_str()) != 1;
        run->faultAfter = -1;
    }
    return int(run->pages.size()) == run->cancelAfter ? 0 : 1;
}

struct BatchRow {
    const char* what;
    int device;
    int pagesAsked;
    int faultAfter;
    const char* readStatus; // read-return-value set while page faultAfter + 1 is read
    int cancelAfter;
    bool succeeds;
    int pagesKept;
    const char* message; // part of CodecLastErrorText on failure
};

class ScannerBatch : public ::testing::TestWithParam<BatchRow> {};

TEST_P(ScannerBatch, KeepsThePagesBeforeTheEnd) {
    const BatchRow& row = GetParam();
    sanetest::UseTestDevice(row.device);
    DLL96V1::TwainRequest request;
    request.Left = 0.5f;
    request.Top = 0.5f;
    request.Right = 1.5f;
    request.Bottom = 2.0f;
    request.Dpi = 40;
    request.Pages = row.pagesAsked;
    int32_t delivered = -1;
    bool ok = false;
    // The test backend refuses an option while its reader is still busy
    // with the page (it lags on a loaded machine); such a run injected
    // nothing and is made again.
    std::unique_ptr<Batch> batch;
    for (int attempt = 0; attempt < 8; ++attempt) {
        batch = std::make_unique<Batch>();
        batch->faultAfter = row.faultAfter;
        batch->faultMidPage = true;
        batch->option = "read-return-value";
        batch->value = row.readStatus ? row.readStatus : "";
        batch->cancelAfter = row.cancelAfter;
        ok = DLL96V1::twain_nu_dib(0, request, PageArrived, Progress, batch.get(), &delivered);
        if (!batch->faultRefused) break;
    }
    ASSERT_FALSE(batch->faultRefused) << "the device never took the fault";
    const Batch& run = *batch;
    EXPECT_EQ(ok, row.succeeds);
    EXPECT_EQ(int(run.pages.size()), row.pagesKept);
    if (ok) {
        EXPECT_EQ(delivered, row.pagesKept);
    } else {
        EXPECT_NE(DLL96V1::CodecLastErrorText.find(row.message), std::string::npos)
            << DLL96V1::CodecLastErrorText;
    }
    EXPECT_FALSE(DLL96V1::TwainBusy);
    if (!run.pages.empty()) {
        EXPECT_TRUE(run.nestedCallRefused);
    }
    for (HGLOBAL page : run.pages) {
        // Each page is an 8-bit picture of the area asked for, 1 x 1.5 inches at 40 DPI.
        zp::GlobalLockGuard lock(page);
        ic::DibView view;
        ASSERT_TRUE(ic::parseDib(lock.data(), 0, view));
        EXPECT_EQ(view.bpp, 8);
        EXPECT_NEAR(view.width, 40, 1); // the device rounds to whole millimetres
        EXPECT_NEAR(view.height, 60, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Feeder, ScannerBatch,
    ::testing::Values(BatchRow{"three pages", 1, 3, -1, nullptr, -1, true, 3, ""},
                      BatchRow{"feeder empty after ten", 2, 12, -1, nullptr, -1, true, 10, ""},
                      BatchRow{"jam after two", 3, 5, 2, "SANE_STATUS_JAMMED", -1, false, 2,
                               "jammed"},
                      BatchRow{"device gone after one", 4, 5, 1, "SANE_STATUS_IO_ERROR", -1, false,
                               1, "stopped responding"},
                      BatchRow{"cover opened after three", 5, 5, 3, "SANE_STATUS_COVER_OPEN", -1,
                               false, 3, "cover is open"},
                      BatchRow{"cancelled after two", 6, 5, -1, nullptr, 2, false, 2, "cancelled"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

// A driver that stops answering mid-page ends the batch with the pages
// before it, and the scanner is usable again once the driver lets go.
TEST(ScannerTimeout, EndsTheBatchAndRecovers) {
    sanetest::UseTestDevice(7);
    const int32_t before = ScannerTimeout();
    ScannerSetTimeout(50);
    Batch run;
    run.faultAfter = 1;
    run.option = "read-delay";
    run.value = "yes";
    run.option2 = "read-delay-duration";
    run.value2 = "200000"; // microseconds after every buffer
    DLL96V1::TwainRequest request;
    request.Dpi = 100;
    request.Right = 2;
    request.Bottom = 2;
    request.Pages = 3;
    EXPECT_FALSE(DLL96V1::twain_nu_dib(0, request, PageArrived, Progress, &run));
    EXPECT_EQ(run.pages.size(), 1u);
    EXPECT_NE(DLL96V1::CodecLastErrorText.find("did not answer"), std::string::npos);
    ScannerSetTimeout(before);
    // The late read returns within a second; until then the scanner says so.
    int32_t listed = SCAN_IN_USE;
    for (int i = 0; i < 200 && listed == SCAN_IN_USE; ++i) {
        listed = ScannerListDevices(nullptr, 0);
        if (listed == SCAN_IN_USE) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(listed, 12);
}

} // namespace
