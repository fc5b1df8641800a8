// Text, aligned labels, and vertical and rotated labels. Turned text is rendered into a one-bit
// pixmap, read back, turned in memory and drawn through a stipple, so only the text's pixels
// change and they take the GC's colour and function.
#include "SDrawing.h"

#include "Owner.h"
#include "SDrawDevice.h"
#include "SDrawFont.h"
#include "SMonoImage.h"
#include "STextPictures.h"

#include <X11/Xlib.h>

#include <X11/Xutil.h>
#include <cstdlib>
#include <cstring>

namespace zell::gui::context {

namespace {

constexpr int kMaxSide = 32767;
// Function, plane mask, foreground and background.
constexpr unsigned long kCopiedGCValues = GCFunction | GCPlaneMask | GCForeground | GCBackground;

int Length(const char* text) {
    return static_cast<int>(strlen(text));
}

// Owns a GC made for one operation.
class ScratchGC {
  public:
    ScratchGC(Display* display, Drawable drawable)
        : display(display), gc(XCreateGC(display, drawable, 0, nullptr)) {}
    ScratchGC(const ScratchGC&) = delete;
    ScratchGC& operator=(const ScratchGC&) = delete;
    ~ScratchGC() {
        if (gc) XFreeGC(display, gc);
    }
    GC Get() const { return gc; }

  private:
    Display* display;
    GC gc;
};

// Owns a one-bit pixmap made for one operation.
class ScratchBitmap {
  public:
    ScratchBitmap(Display* display, Drawable on, int width, int height)
        : display(display), pixmap(XCreatePixmap(display, on, width, height, 1)) {}
    ScratchBitmap(const ScratchBitmap&) = delete;
    ScratchBitmap& operator=(const ScratchBitmap&) = delete;
    ~ScratchBitmap() { XFreePixmap(display, pixmap); }
    Pixmap Get() const { return pixmap; }

  private:
    Display* display;
    Pixmap pixmap;
};

bool Drawable1Bit(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

// A one-bit client image of the picture, in the server's bitmap order.
XImage* BitmapImage(Display* display, const SMonoImage& picture) {
    int w = picture.Width();
    int h = picture.Height();
    int stride = (w + 7) / 8;
    gsl::owner<char*> data = static_cast<char*>(calloc(static_cast<size_t>(stride) * h, 1));
    if (!data) return nullptr;
    XImage* image = XCreateImage(display, DefaultVisual(display, DefaultScreen(display)), 1,
                                 XYBitmap, 0, data, w, h, 8, stride);
    if (!image) {
        free(data);
        return nullptr;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (picture.Get(x, y)) XPutPixel(image, x, y, 1);
    return image;
}

// Where a turned picture goes in the rectangle by the align bits; centred without them.
SDrawing::Point Place(const SDrawing::Rect& r, int align, const SMonoImage& picture) {
    int w = picture.Width();
    int h = picture.Height();
    int x = align & SDrawing::kLeft    ? r.x1
            : align & SDrawing::kRight ? r.x2 - w
                                       : r.x1 + ((r.Width() - w) >> 1);
    int y = align & SDrawing::kTop      ? r.y1
            : align & SDrawing::kBottom ? r.y2 - h
                                        : r.y1 + ((r.Height() - h) >> 1);
    return {x, y};
}

// The width of the text in the face and the face's height; 0 for no text or no face.
void Extents(XFontStruct* face, const char* text, int& width, int& height) {
    width = height = 0;
    if (!face || !text || !*text) return;
    int direction = 0, ascent = 0, descent = 0;
    XCharStruct overall{};
    XTextExtents(face, text, Length(text), &direction, &ascent, &descent, &overall);
    width = overall.width;
    height = ascent + descent;
}

} // namespace

void SDrawing::GetTextDimensions(const char* text, int* width, int* height, SDrawFont* font) {
    int w = 0, h = 0;
    Extents(font ? font->info : nullptr, text, w, h);
    if (width) *width = w;
    if (height) *height = h;
}

SDrawing::Point LabelOrigin(const XFontStruct* f, const char* text, const SDrawing::Rect& r,
                            int align, int scale) {
    const int width = XTextWidth(const_cast<XFontStruct*>(f), text, Length(text));
    // Centred, the baseline sits a layout pixel above the middle.
    const int y = align & SDrawing::kTop      ? r.y1 + f->ascent
                  : align & SDrawing::kBottom ? r.y2 - f->descent
                                              : r.y1 + (f->ascent >> 1) + (r.Height() >> 1) - scale;
    const int x = align & SDrawing::kLeft    ? r.x1
                  : align & SDrawing::kRight ? r.x2 - width
                                             : r.x1 + (r.Width() >> 1) - (width >> 1);
    return {x, y};
}

void SDrawing::DrawText(const char* text, int x, int y) {
    XFontStruct* f = LoadedFont(*this);
    Target t = Current();
    if (!f || !text || !*text || !t) return;
    const int s = Scale();
    // The GC may belong to a device selected after SetFont.
    XSetFont(t.display, t.gc, f->fid);
    XDrawString(t.display, t.drawable, t.gc, x * s, y * s + f->ascent, text, Length(text));
}

void SDrawing::DrawLabel(const char* text, Rect r, int align, const Point& offset) {
    XFontStruct* f = LoadedFont(*this);
    Target t = Current();
    if (!f || !text || !*text || !t) return;
    const Point at = LabelOrigin(f, text, Scaled(r.Moved(offset)), align, Scale());
    XSetFont(t.display, t.gc, f->fid);
    XDrawString(t.display, t.drawable, t.gc, at.x, at.y, text, Length(text));
}

void SDrawing::DrawLabelRect(const char* text, const Rect& r, int colour, const Point& offset) {
    if (!LoadedFont(*this) || !text || !*text) return;
    SetForeground(colour);
    FillRect(r);
    // In the fill colour the label would not show on its own rectangle.
    SetForeground(textNormal);
    DrawLabel(text, r, 0, offset);
}

bool SDrawing::RenderText(const char* text, SMonoImage& picture) {
    XFontStruct* f = LoadedFont(*this);
    Target t = Current();
    if (!f || !text || !*text || !t) return false;
    if (STextPictures::Find(t.display, f->fid, text, picture)) return true;
    // Measured in the face it is rendered with: at a larger scale, not the font's own.
    int width = 0, height = 0;
    Extents(f, text, width, height);
    if (!Drawable1Bit(width + 1, height + 1)) return false;
    ScratchBitmap bitmap(t.display, t.drawable, width, height);
    ScratchGC gc(t.display, bitmap.Get());
    XSetBackground(t.display, gc.Get(), 0);
    XSetFont(t.display, gc.Get(), f->fid);
    XSetForeground(t.display, gc.Get(), 0);
    XFillRectangle(t.display, bitmap.Get(), gc.Get(), 0, 0, width + 1, height + 1);
    XSetForeground(t.display, gc.Get(), 1);
    XDrawString(t.display, bitmap.Get(), gc.Get(), 0, f->ascent, text, Length(text));
    XImage* image = XGetImage(t.display, bitmap.Get(), 0, 0, width, height, 1, XYPixmap);
    if (!image) return false;
    picture = SMonoImage(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.Set(x, y, XGetPixel(image, x, y) != 0);
    XDestroyImage(image);
    STextPictures::Keep(t.display, f->fid, text, picture);
    return true;
}

void SDrawing::StipplePicture(const SMonoImage& picture, int x, int y) {
    Target t = Current();
    int w = picture.Width();
    int h = picture.Height();
    if (!t || !Drawable1Bit(w, h)) return;
    XImage* image = BitmapImage(t.display, picture);
    if (!image) return;
    ScratchBitmap stipple(t.display, t.drawable, w, h);
    {
        ScratchGC put(t.display, stipple.Get());
        // A bitmap image takes the GC's colours: set bits 1, clear bits 0.
        XSetForeground(t.display, put.Get(), 1);
        XSetBackground(t.display, put.Get(), 0);
        XPutImage(t.display, stipple.Get(), put.Get(), image, 0, 0, 0, 0, w, h);
    }
    XDestroyImage(image);
    ScratchGC fill(t.display, t.drawable);
    XCopyGC(t.display, t.gc, kCopiedGCValues, fill.Get());
    XSetFillStyle(t.display, fill.Get(), FillStippled);
    XSetStipple(t.display, fill.Get(), stipple.Get());
    XSetTSOrigin(t.display, fill.Get(), x, y);
    XFillRectangle(t.display, t.drawable, fill.Get(), x, y, w, h);
}

void SDrawing::DrawVerticalLabel(const char* text, Rect r, int, int align, const Point& offset,
                                 bool, bool, const char*) {
    SMonoImage rendered;
    if (!RenderText(text, rendered)) return;
    SMonoImage turned = rendered.QuarterTurn();
    SDrawing::Point at = Place(Scaled(r.Moved(offset)), align, turned);
    StipplePicture(turned, at.x, at.y);
}

void SDrawing::DrawRotatedText(const char* text, Rect r, int degrees, int align,
                               const Point& offset) {
    if (!LoadedFont(*this) || !text || !*text) return;
    degrees %= 360;
    if (degrees == 0) {
        DrawLabel(text, r, align, offset);
        return;
    }
    SMonoImage rendered;
    if (!RenderText(text, rendered)) return;
    SMonoImage turned = rendered.Rotated(degrees);
    SDrawing::Point at = Place(Scaled(r.Grown(1).Moved(offset)), align, turned);
    SetForeground(textNormal);
    StipplePicture(turned, at.x, at.y);
}

} // namespace zell::gui::context
