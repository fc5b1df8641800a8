// The drawing context every control owns: the current target device, font and brush, the
// control's colour scheme, and the drawing operations of all paint code. Every operation turns
// at once into Xlib calls on the device's drawable with its GC; without a display, device or
// GC nothing is drawn.
//
// Every operation takes its positions, sizes and line widths in the layout's pixels; a
// context draws them at its instance's scale (SGlobals::Scale): areas cover the scaled pixels,
// lines of a pixel are as thick as the scale, texts take the font's face for the scaled size
// (SDrawFont::At), and what is copied between devices is copied at the scale, so that at 2
// the picture is the layout's at twice its size. Off-screen targets are made at the scale.
//
// A context takes no lock of its own. The editor's contexts are used one thread at a time,
// each under the instance's interface lock: the thread dispatching X events (the toolkit's
// event pump on x86_64, on i386 the host's thread calling _XEventProc) while it paints, with
// the display locked, and while it handles the pointer; the host's GUI thread in effEditOpen
// while the panel sets up its controls and draws its off-screen pictures; and the idle thread
// while the panel refreshes those pictures and its buttons' colours. The shared message box's
// context is set up on the first thread to show a message and afterwards used only by the
// dispatching thread. A context goes with its control, on the thread that deletes it once it
// has left dispatch. Every operation below runs on those threads unless it says otherwise.
//
// The virtual functions keep the design's documented slot order, so that the class reads
// against the design entry by entry; that is the only reason. Nothing outside the shared object
// depends on the layout: no context crosses from one shared object to another, and hosts never
// see one. Nothing in the product calls these, marked "kept for the design's slot order" where
// they are declared: InitDrawing, CleanDrawing, SetFillMode, GetFillMode, SetFillStyle,
// GetFillStyle, DrawPoint, the overloads of DrawLine, DrawRect, DrawRoundedRect, FillRect and
// FillRoundedRect taking two points, the Text forms of DrawText and DrawRotatedText,
// DrawLabelRect, DrawVerticalLabel, DrawPixelNumber, DrawVerticalPixelNumber, DrawPixelLabel,
// DrawVerticalPixelLabel, DrawEllipse, DrawChord, DrawPie, DrawArc, DrawBezier, DrawPoly,
// FillEllipse, FillChord, FillPie, the five Path operations, both DrawBitmap, the DrawMemory
// forms but the first, and DrawImage; SetBackgroundMode and SetFrameColour only for SControl's
// kept slots of those names.
#pragma once

#include "Geometry.h"
#include "SMutexID.h"
#include "datastring.h"

#include "XHandles.h"

#include <memory>

namespace zell::gui {
class SControl;
class SGlobals;
} // namespace zell::gui

namespace zell::gui::context {

class SDrawBitmap;
class SDrawBitmapMask;
class SDrawBrush;
class SDrawDevice;
class SDrawFont;
class SDrawImage;
class SMonoImage;
class SDrawPath;
class SDrawPen;

// Answers the X window of a control. The toolkit installs it; until then contexts made for a
// control get a device without a window and draw nothing.
using SControlWindowQuery = XId (*)(SControl* control);

class SDrawing {
  public:
    using Point = math::geom::Point<int, 2>;
    using Rect = math::geom::Rectangle<int, 2>;
    using Text = data::datastring<32, char>;

    // Align bits of labels; a direction without its bit is centred.
    static constexpr int kLeft = 1;
    static constexpr int kTop = 2;
    static constexpr int kRight = 4;
    static constexpr int kBottom = 8;
    static constexpr int kCopy = 15;

    SDrawing();
    // Makes and owns a device with a new GC on the control's window.
    SDrawing(SControl* control, SGlobals* globals);
    SDrawing(const SDrawing&) = delete;
    SDrawing& operator=(const SDrawing&) = delete;
    virtual ~SDrawing();

    static void SetControlWindowQuery(SControlWindowQuery query);

    // The target device. The panel and the matrix switch to one of their off-screen devices for
    // a pass and back; the old device is neither flushed nor deleted. GetDevice also gives the
    // parent of a control's memory devices while the control is set up. The context deletes
    // only the device it made, never one it was switched to, whatever the target at its end.
    virtual SDrawDevice* GetDevice() { return device; }
    virtual void SetDevice(SDrawDevice* target) { device = target; }
    // Kept for the design's slot order; nothing calls or overrides these. InitDrawing deletes
    // the device it made and targets a new one on the control's window; CleanDrawing deletes
    // it and leaves no target.
    virtual void InitDrawing(SControl* control, SDrawing*);
    virtual void CleanDrawing();

    // Colour scheme: no X call except where the GC foreground is named. SetColours gives the
    // whole scheme while the control is set up; the active or the normal set is chosen while it
    // paints and when a button's value changes (SControl::SetDrawingMode).
    virtual void SetColours(int backgroundNormal, int backgroundActive, int parentBackground,
                            int foreground, int foregroundActive, int text, int textActive);
    virtual void SetBackgroundColour(bool active);
    virtual void SetBackgroundColour(int colour) { background = colour; }
    virtual void SetBackground(int colour, bool active);
    // Kept for the design's slot order; only SControl's kept slot of that name calls it. There
    // are no background modes.
    virtual void SetBackgroundMode(bool) {}
    virtual int GetBackgroundColour() { return background; }
    virtual int GetParentBackgroundColour() { return parentBackground; }
    // Also sets the chosen colour as the GC foreground.
    virtual void SetForegroundColour(bool active);
    virtual int GetForegroundColour() { return foreground; }
    // enabled false gives the disabled frame colour; else the active or normal one.
    virtual int GetFrameColour(bool enabled, bool active);
    // Kept for the design's slot order; only SControl's kept slot of that name calls it.
    virtual void SetFrameColour(int normal, int active, int disabled);

    // GC state. Fill rules: even-odd 0, winding 1. Fill styles: solid 0, tiled 1, stippled 2,
    // opaque stippled 3. Logic codes select the GC function; unknown codes copy.
    // Kept for the design's slot order; nothing calls or overrides these.
    virtual void SetFillMode(int mode);
    virtual int GetFillMode() { return fillMode; }
    virtual void SetFillStyle(int style);
    virtual int GetFillStyle() { return fillStyle; }
    // The matrix draws its selection band inverting, on the dispatching thread, and puts the
    // previous code back after each pass.
    virtual void SetLogic(int code);

    // Fills the rectangle with the background (or the parent's background) colour through the
    // shared pen and brush of that colour. Nothing without globals.
    virtual void DrawBackground(const Rect& rect, bool useParent);

    // Kept for the design's slot order; nothing calls or overrides these, apart from the
    // overloads forwarding to one another.
    virtual void DrawPoint(int x, int y);
    virtual void DrawPoint(const Point& p) { DrawPoint(p.x, p.y); }
    // Lines, outlines and areas are drawn in the GC foreground: the colour of the last pen,
    // brush or colour set. The overloads only forward; nothing calls those taking two points,
    // which are kept for the design's slot order.
    virtual void DrawLine(int x1, int y1, int x2, int y2);
    virtual void DrawLine(const Point& a, const Point& b) { DrawLine(a.x, a.y, b.x, b.y); }
    // Outlines the pixels x1..x2-1, y1..y2-1.
    virtual void DrawRect(int x1, int y1, int x2, int y2);
    virtual void DrawRect(const Point& a, const Point& b) { DrawRect(a.x, a.y, b.x, b.y); }
    virtual void DrawRect(const Rect& r) { DrawRect(r.x1, r.y1, r.x2, r.y2); }
    virtual void DrawRoundedRect(int x1, int y1, int x2, int y2, int ew, int eh);
    virtual void DrawRoundedRect(const Point& a, const Point& b, int ew, int eh) {
        DrawRoundedRect(a.x, a.y, b.x, b.y, ew, eh);
    }
    virtual void DrawRoundedRect(const Rect& r, int ew, int eh) {
        DrawRoundedRect(r.x1, r.y1, r.x2, r.y2, ew, eh);
    }

    // (x, y) is the top-left corner of the text line.
    virtual void DrawText(const char* text, int x, int y);
    virtual void DrawText(const char* text, const Point& p) { DrawText(text, p.x, p.y); }
    // Kept for the design's slot order; nothing calls or overrides these.
    virtual void DrawText(Text& text, int x, int y) { DrawText(text.Text(), x, y); }
    virtual void DrawText(Text& text, const Point& p) { DrawText(text.Text(), p.x, p.y); }

    // The text aligned in the rectangle moved by offset. A tooltip's text objects draw their
    // lines with it.
    virtual void DrawLabel(const char* text, Rect r, int align, const Point& offset);
    virtual void DrawLabel(Text& text, Rect r, int align, const Point& offset) {
        DrawLabel(text.Text(), r, align, offset);
    }
    // As DrawText and DrawLabel, with the line's ink kept inside box: a line that fits is drawn
    // exactly as they draw it; a wider one has the gaps between its glyphs narrowed (STextFit.h)
    // and is placed by its ink, and a line moves up or down only as far as its ink must to stay
    // within the box. Spaces of a label are widened to minSpace pixels where the line still fits.
    // Glyphs that cannot fit even then are left out at the end, never cut through.
    void DrawTextFitted(const char* text, int x, int y, const Rect& box);
    void DrawLabelFitted(const char* text, Rect r, int align, const Point& offset, const Rect& box,
                         int minSpace = 0);
    // Where DrawTextFitted would put the ink; empty where it would draw nothing.
    Rect FittedTextInk(const char* text, int x, int y, const Rect& box);
    // Kept for the design's slot order; nothing calls or overrides these, apart from the
    // overloads forwarding to one another. DrawLabelRect fills the rectangle with colour and
    // centres the text on it in the normal text colour.
    virtual void DrawLabelRect(const char* text, const Rect& r, int colour, const Point& offset);
    virtual void DrawLabelRect(Text& text, const Rect& r, int colour, const Point& offset) {
        DrawLabelRect(text.Text(), r, colour, offset);
    }
    // The text turned counter-clockwise by degrees, in the normal text colour; a whole turn
    // draws it as DrawLabel does. The matrix writes its outputs' caption with it.
    virtual void DrawRotatedText(const char* text, Rect r, int degrees, int align,
                                 const Point& offset);
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual void DrawRotatedText(Text& text, Rect r, int degrees, int align, const Point& offset) {
        DrawRotatedText(text.Text(), r, degrees, align, offset);
    }
    // Kept for the design's slot order; nothing calls or overrides these, apart from the
    // overloads forwarding to one another. DrawVerticalLabel draws the text reading upwards,
    // glyph tops to the left, in the GC foreground; its first int and last three arguments
    // have no meaning.
    virtual void DrawVerticalLabel(const char* text, Rect r, int, int align, const Point& offset,
                                   bool, bool, const char*);
    virtual void DrawVerticalLabel(Text& text, Rect r, int n, int align, const Point& offset,
                                   bool a, bool b, const char* c) {
        DrawVerticalLabel(text.Text(), r, n, align, offset, a, b, c);
    }

    // Kept for the design's slot order; nothing calls or overrides these, apart from the
    // overloads forwarding to one another. DrawPixelNumber draws a seven-segment digit in a
    // cell of 7 x 10 pixels whose top-left corner is (x, y); digits outside 0..9 draw nothing.
    // There are no vertical digits and no pixel labels.
    virtual void DrawPixelNumber(int x, int y, int digit);
    virtual void DrawPixelNumber(Point& p, int digit) { DrawPixelNumber(p.x, p.y, digit); }
    virtual void DrawVerticalPixelNumber(int, int, int, bool) {}
    virtual void DrawVerticalPixelNumber(Point&, int, bool) {}
    virtual void DrawPixelLabel(const char*, Rect, int, const Point&) {}
    virtual void DrawVerticalPixelLabel(const char*, Rect, int, int, const Point&, bool, bool,
                                        const char*) {}

    // Kept for the design's slot order; nothing calls or overrides these. Angles are degrees
    // counter-clockwise from three o'clock: start, then extent. There are no arcs or curves;
    // DrawPoly draws nothing for fewer than two points or a null array.
    virtual void DrawEllipse(int x1, int y1, int x2, int y2);
    virtual void DrawChord(int x1, int y1, int x2, int y2, int start, int extent);
    virtual void DrawPie(int x1, int y1, int x2, int y2, int start, int extent);
    virtual void DrawArc(int, int, int, int, int, int) {}
    virtual void DrawBezier(int, int, int, int, int, int, int, int) {}
    virtual void DrawPoly(Point* points, int count);

    // As for lines, nothing calls the overloads taking two points, which are kept for the
    // design's slot order.
    virtual void FillRect(int x1, int y1, int x2, int y2);
    virtual void FillRect(const Point& a, const Point& b) { FillRect(a.x, a.y, b.x, b.y); }
    virtual void FillRect(const Rect& r) { FillRect(r.x1, r.y1, r.x2, r.y2); }
    virtual void FillRoundedRect(int x1, int y1, int x2, int y2, int ew, int eh);
    virtual void FillRoundedRect(const Point& a, const Point& b, int ew, int eh) {
        FillRoundedRect(a.x, a.y, b.x, b.y, ew, eh);
    }
    virtual void FillRoundedRect(const Rect& r, int ew, int eh) {
        FillRoundedRect(r.x1, r.y1, r.x2, r.y2, ew, eh);
    }
    // Kept for the design's slot order; nothing calls or overrides these.
    virtual void FillEllipse(int x1, int y1, int x2, int y2);
    virtual void FillChord(int x1, int y1, int x2, int y2, int start, int extent);
    virtual void FillPie(int x1, int y1, int x2, int y2, int start, int extent);
    // The tooltip's pointer; fewer than two points, or a null array, fill nothing.
    virtual void FillPoly(Point* points, int count);

    // Kept for the design's slot order; nothing calls or overrides these. There are no paths.
    virtual void PathStart() {}
    virtual void PathStroke(SDrawPath*) {}
    virtual void PathFill(SDrawPath*) {}
    virtual void PathStrokeFill(SDrawPath*) {}
    virtual void PathEnd() {}

    // Kept for the design's slot order; nothing calls or overrides these. Bitmaps reach a
    // window through memory devices and DrawMemory instead.
    virtual void DrawBitmap(SDrawBitmap*, int, int, int, int, bool, SDrawBitmapMask*) {}
    virtual void DrawBitmap(SDrawBitmap*, const Rect&, bool, SDrawBitmapMask*) {}

    // Copies the source rectangle (sx1, sy1)-(sx2, sy2) of the source device to (dx, dy); a
    // null source copies nothing. Controls put their off-screen pictures on the window with it
    // while they paint; the panel and the matrix also compose their pictures with it.
    virtual void DrawMemory(SDrawDevice* source, int dx, int dy, int sx1, int sy1, int sx2,
                            int sy2);
    // Kept for the design's slot order; nothing calls or overrides these, apart from the
    // overloads forwarding to one another. Transparency and mask arguments have no effect.
    virtual void DrawMemory(SDrawDevice* source, const Point& to, const Rect& from) {
        DrawMemory(source, to.x, to.y, from.x1, from.y1, from.x2, from.y2);
    }
    virtual void DrawMemory(SDrawDevice* source, int dx, int dy, int sx1, int sy1, int sx2, int sy2,
                            unsigned char) {
        DrawMemory(source, dx, dy, sx1, sy1, sx2, sy2);
    }
    virtual void DrawMemory(SDrawDevice* source, const Point& to, const Rect& from, unsigned char) {
        DrawMemory(source, to, from);
    }
    virtual void DrawMemory(SDrawDevice* source, int dx, int dy, int sx1, int sy1, int sx2, int sy2,
                            int, SDrawBitmapMask*) {
        DrawMemory(source, dx, dy, sx1, sy1, sx2, sy2);
    }
    virtual void DrawMemory(SDrawDevice* source, const Point& to, const Rect& from, int,
                            SDrawBitmapMask*) {
        DrawMemory(source, to, from);
    }

    // Kept for the design's slot order; nothing calls or overrides it. Puts the source
    // rectangle of the image at the top-left corner of dst.
    virtual void DrawImage(SDrawImage* image, const Rect& src, const Rect& dst);

    // Sets the pen's line attributes and colour on the GC; null is ignored.
    void SetPen(SDrawPen* pen);
    // The brush's effective colour becomes the GC foreground; null only clears the brush.
    void SetBrush(SDrawBrush* target);
    // A font that did not load is stored but leaves the GC's font alone.
    void SetFont(SDrawFont* target);
    void SetTextColour(int colour, bool active);
    int GetTextColour(bool active) { return active ? textActive : textNormal; }
    SDrawFont* GetFont() const { return font; }
    SDrawBrush* GetBrush() const { return brush; }
    int GetLogic() const { return logic; }
    SControl* GetControl() const { return control; }
    SGlobals* GetGlobals() const { return globals; }
    // Screen pixels per layout pixel: the globals', else 1.
    int Scale() const;

    // Logical width and font height of the text; both 0 for an empty text or no font. Null
    // outputs are skipped.
    static void GetTextDimensions(const char* text, int* width, int* height, SDrawFont* font);

  private:
    // The current target in one piece; false when any part is missing.
    struct Target {
        _XDisplay* display = nullptr;
        XId drawable = 0;
        _XGC* gc = nullptr;
        explicit operator bool() const { return display && drawable && gc; }
    };

    Target Current() const;
    void SetForeground(int colour);
    // The target's pixels of a rectangle of the layout.
    Rect Scaled(const Rect& r) const;
    // Where a line drawn through a layout pixel runs at the scale: through the middle of the
    // pixels that stand for it, so that a line as thick as the scale covers exactly those.
    int Middle(int v) const;
    // The pen's width at the scale on the target's GC; a thin line of the layout is a pixel.
    void StrokeWidth(const Target& t);
    void Arc(int x1, int y1, int x2, int y2, int start, int extent, int mode, bool fill);
    void Poly(Point* points, int count, bool fill);
    // Draws a one-bit picture at (x, y) through a stipple in the GC foreground.
    void StipplePicture(const SMonoImage& picture, int x, int y);
    [[nodiscard]] bool RenderText(const char* text, SMonoImage& picture);
    // Draws a line whose font placement is (x, baseline) as DrawTextFitted describes; align
    // places a respaced line in r by its ink.
    void DrawInside(const char* text, int x, int baseline, const Rect& r, int align,
                    const Rect& box, int minSpace);

    std::unique_ptr<SDrawDevice> ownDevice; // the one made on the control's window
    SDrawDevice* device = nullptr;          // the target
    SControl* control = nullptr;
    SGlobals* globals = nullptr;
    SDrawFont* font = nullptr;
    SDrawBrush* brush = nullptr;
    int penWidth = 0; // of the last pen set
    bool penDashed = false;
    threading::SMutexID lock;
    int background = 0;
    int parentBackground = 0;
    int backgroundActive = 0;
    int backgroundNormal = 0;
    int foreground = 0;
    int foregroundActive = 0;
    int foregroundNormal = 0;
    int textNormal = 0;
    int textActive = 0;
    int frameNormal = 0;
    int frameDisabled = 0;
    int frameActive = 0;
    int fillMode = 0;
    int previousFillMode = 0;
    int fillStyle = 0;
    int logic = kCopy;
};

} // namespace zell::gui::context
