#pragma once
// A small Windows Metafile writer for the tests. No independent metafile
// writer is available on the build machines, so the fixtures are assembled
// here record by record, following the published record layouts.
#include <cstdint>
#include <string>
#include <vector>

namespace wmftest {

inline uint32_t rgb(int r, int g, int b) {
    return uint32_t(r | g << 8 | b << 16);
}

class WmfWriter {
  public:
    // A record with 16-bit parameter words.
    WmfWriter& record(uint16_t function, const std::vector<int>& words) {
        std::vector<uint8_t> bytes;
        for (int w : words)
            bytes.push_back(uint8_t(w)), bytes.push_back(uint8_t(w >> 8));
        return raw(function, bytes);
    }
    // A record whose parameters are given as bytes (padded to a word).
    WmfWriter& raw(uint16_t function, std::vector<uint8_t> params) {
        if (params.size() % 2) params.push_back(0);
        put32(body_, uint32_t(3 + params.size() / 2));
        put16(body_, function);
        body_.insert(body_.end(), params.begin(), params.end());
        ++records_;
        return *this;
    }
    WmfWriter& windowOrg(int x, int y) { return record(0x020B, {y, x}); }
    WmfWriter& windowExt(int x, int y) { return record(0x020C, {y, x}); }
    WmfWriter& pen(int style, int width, uint32_t c) {
        return record(0x02FA, {style, width, 0, int(c & 0xFFFF), int(c >> 16)});
    }
    WmfWriter& brush(int style, uint32_t c) {
        return record(0x02FC, {style, int(c & 0xFFFF), int(c >> 16), 0});
    }
    WmfWriter& font(int height, const std::string& face) {
        std::vector<uint8_t> p(18 + 32, 0);
        p[0] = uint8_t(height), p[1] = uint8_t(height >> 8);
        p[8] = 0x90, p[9] = 0x01; // weight 400
        for (size_t i = 0; i < face.size() && i < 31; ++i)
            p[18 + i] = uint8_t(face[i]);
        return raw(0x02FB, p);
    }
    WmfWriter& select(int i) { return record(0x012D, {i}); }
    WmfWriter& remove(int i) { return record(0x01F0, {i}); }
    WmfWriter& rectangle(int l, int t, int r, int b) { return record(0x041B, {b, r, t, l}); }
    WmfWriter& ellipse(int l, int t, int r, int b) { return record(0x0418, {b, r, t, l}); }
    WmfWriter& moveTo(int x, int y) { return record(0x0214, {y, x}); }
    WmfWriter& lineTo(int x, int y) { return record(0x0213, {y, x}); }
    WmfWriter& textOut(int x, int y, const std::string& s) {
        std::vector<int> words{int(s.size())};
        for (size_t i = 0; i < s.size(); i += 2)
            words.push_back(uint8_t(s[i]) | (i + 1 < s.size() ? uint8_t(s[i + 1]) << 8 : 0));
        words.push_back(y), words.push_back(x);
        return record(0x0521, words);
    }
    // StretchDIBits with SRCCOPY and RGB colours.
    WmfWriter& stretchDib(int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                          const std::vector<uint8_t>& dib) {
        std::vector<uint8_t> p;
        for (int w : {0x0020, 0x00CC, 0, sh, sw, sy, sx, dh, dw, dy, dx})
            put16(p, uint16_t(w));
        p.insert(p.end(), dib.begin(), dib.end());
        return raw(0x0F43, p);
    }

    // The finished file: optional placeable header, META header, records, EOF.
    std::vector<uint8_t> bytes(int objects = 8, bool eof = true) const {
        std::vector<uint8_t> out;
        if (placeable_) {
            put32(out, 0x9AC6CDD7u);
            put16(out, 0);
            for (int v : box_)
                put16(out, uint16_t(v));
            put16(out, uint16_t(inch_));
            put32(out, 0);
            put16(out, 0);
        }
        std::vector<uint8_t> body = body_;
        if (eof) put32(body, 3), put16(body, 0);
        put16(out, 1);
        put16(out, 9);
        put16(out, 0x0300);
        put32(out, uint32_t(9 + body.size() / 2));
        put16(out, uint16_t(objects));
        put32(out, 3);
        put16(out, 0);
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }
    WmfWriter& placeable(int l, int t, int r, int b, int inch) {
        placeable_ = true, box_[0] = l, box_[1] = t, box_[2] = r, box_[3] = b, inch_ = inch;
        return *this;
    }
    size_t records() const { return records_; }

    static void put16(std::vector<uint8_t>& v, uint16_t x) {
        v.push_back(uint8_t(x)), v.push_back(uint8_t(x >> 8));
    }
    static void put32(std::vector<uint8_t>& v, uint32_t x) {
        put16(v, uint16_t(x)), put16(v, uint16_t(x >> 16));
    }

  private:
    std::vector<uint8_t> body_;
    size_t records_ = 0;
    bool placeable_ = false;
    int box_[4] = {0, 0, 0, 0};
    int inch_ = 1440;
};

// A packed DIB (BITMAPINFOHEADER) of w x h pixels given top row first as
// 0xRRGGBB, stored bottom-up at `bits` per pixel; for 1 to 8 bits the
// palette is built from the colours used (at most 2^bits of them).
std::vector<uint8_t> makeDib(int w, int h, int bits, const std::vector<uint32_t>& pixels);

// The one application object of the test program (fonts need it).
void guiApp();

} // namespace wmftest
