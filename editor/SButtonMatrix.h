// The grid on which inputs (columns) are connected to outputs (rows). The matrix does not own the
// connections: a subclass keeps pointers into the plugin's current program, writes through them
// and tells its listeners with events of type 10 (a connection changed, data: SMatrixConnection)
// and type 3 (the selected node changed, value: selectedNode). Every drawing goes into two
// off-screen images; Draw only copies the composed one to the window.
//
// The mouse, keys and painting run on the dispatching thread. The panel also builds the matrix on
// the host's GUI thread and, refreshing on the idle thread, binds nodes and calls DrawAll,
// DrawLabels and EnableHighlight; both hold the instance's interface lock, as the dispatcher
// does. The words behind the node pointers are shared with the processing thread: each read and
// write of one is a single relaxed access.
#pragma once

#include "Owner.h"
#include "SLabel.h"
#include "SWindow.h"
#include "datastring.h"

#include <memory>
#include <optional>
#include <vector>

namespace zell::gui::context {
class SDrawBitmap;
class SDrawDevice;
class SDrawFont;
class SDrawMemoryDevice;
} // namespace zell::gui::context

namespace ferrovane {

// The record of a connection event. A connect or disconnect names only (column, row); a move
// names the old node, the new one and sets moved.
struct SMatrixConnection {
    int column, row, newColumn, newRow, moved;

    bool operator==(const SMatrixConnection&) const = default;
};

// Bits of optionFlags.
enum SMatrixOption {
    kMatrixMultiSelection = 0x1, // selection colouring, middle-click focus, focus indicator
    kMatrixBandSelection = 0x2,  // selection rectangle, wheel and key moves, Delete
};

// What a selection rectangle does with the nodes it covers when the button is released.
enum SMatrixBandMode { kBandNone = 0, kBandReplace = 1, kBandAdd = 2, kBandRemove = 3 };

// Directions of MoveSelection.
enum SMatrixDirection { kMoveUp = 0, kMoveDown = 1, kMoveLeft = 2, kMoveRight = 3 };

class SButtonMatrix : public zell::gui::SWindow {
  public:
    // The toolkit's names the matrix is written in.
    using SGlobals = zell::gui::SGlobals;
    using Point2 = zell::gui::Point2;
    using Rect2 = zell::gui::Rect2;
    using PortName = zell::data::datastring<32, char>;

    // The control always grabs the pointer while a button is held, whatever the style.
    SButtonMatrix(SGlobals* globals, SControl* parent, int id, const char* title, int style, int x,
                  int y, int width, int height, int parentWindow);
    ~SButtonMatrix() override;
    SButtonMatrix(const SButtonMatrix&) = delete;
    SButtonMatrix& operator=(const SButtonMatrix&) = delete;

    // Background and connected nodes into the composed image, then a repaint request.
    virtual void DrawAll();
    // The connected nodes into the current device; no repaint.
    virtual void DrawNodes();
    // The connected nodes of one column or row into the current device; outside the grid none.
    virtual void DrawColumn(int column);
    virtual void DrawRow(int row);
    // Renders the background image (grid and watermark) and asks for a repaint; the composed
    // image follows with the next DrawAll.
    virtual void DrawLabels() {}
    // Moves the hover bands from the previous row and column to the current ones.
    virtual void DrawHighlight();
    // Kept for the design's slot order; nothing calls or overrides it. Moves the single-column
    // band from previousHighlightColumn to highlightColumn.
    virtual void DrawHighlightColumn();
    // Answers false outside the grid and for a node whose storage is not bound.
    virtual bool IsConnected(int column, int row) = 0;
    // Connect or disconnect the node, redraw it and send a connection event. A node outside the
    // grid or without storage is left alone and reported to nobody.
    virtual void SetConnection(int column, int row) = 0;
    virtual void ResetConnection(int column, int row, bool moving) = 0;

    void Focussing(bool focus) override;
    void Draw(const Rect2& rect) override;
    // area is a node index; one outside the grid draws nothing.
    void DrawArea(unsigned area) override;
    void MouseStateChanged(bool* state, int code) override;
    void MousePosChanged(int dx, int dy) override;
    void KeyStateChanged(int key, bool pressed, int modifiers, int keyClass) override;

    // Inverts the old rectangle away and, unless eraseOnly, the current band in.
    void DrawSelectionRect(Rect2& old, bool eraseOnly);
    // Applies the band to `selection` by bandMode, then DrawAll.
    void RealizeSelection();
    // Moves every node of `selection` one cell; nodes pushed off the grid are disconnected and
    // leave the selection.
    void MoveSelection(int direction);
    // Shows the port numbers (or names) of the node in the info labels; (-1, -1) empties them.
    void DisplayPortStats(int column, int row);
    // Switches the hover bands on or off; off takes bands already shown away at once, wherever
    // the pointer is.
    void EnableHighlight(bool on);

    // The node index of a cell; column-major, as the plugin's routing words.
    int NodeIndex(int column, int row) const { return column * rows + row; }
    // The cell a client pixel falls in, not limited to the grid.
    Point2 CellAt(int x, int y) const;
    bool InGrid(int column, int row) const {
        return column >= 0 && column < columns && row >= 0 && row < rows;
    }
    // Whether (column, row) is in `selection`.
    bool Listed(int column, int row) const;

    const Rect2& Band() const { return band; }
    bool BandActive() const { return bandActive; }
    Point2 HoverCell() const { return {hoverColumn, hoverRow}; }

    int columns = 0, rows = 0;
    int cellWidth = 0, cellHeight = 0;
    int inputNumberBase = 0, outputNumberBase = 0;
    bool showLabels = true;
    bool highlightEnabled = false;
    // Names shown instead of numbers, indexed by column for inputs and by row for outputs;
    // portNameCount bounds both. Deleted with the matrix when portNamesOwned is set.
    gsl::owner<PortName*> portNames = nullptr;
    int portNameCount = 0;
    bool portNamesOwned = false;
    zell::gui::SLabel<false>* inputInfoLabel = nullptr;  // not owned
    zell::gui::SLabel<false>* outputInfoLabel = nullptr; // not owned
    SControl* focusIndicator = nullptr;       // not owned
    zell::gui::context::SDrawFont* numberFont = nullptr; // the shared font list's
    zell::gui::context::SDrawFont* labelFont = nullptr;  // the shared font list's
    int selectedNode = -1;
    bool selectable = true;
    bool showGrid = false;
    bool editable = true;
    int optionFlags = 0;
    int focusColour = 0;
    int highlightColour = 0;
    int columnHighlightColour = 0;
    int highlightColumn = -1, previousHighlightColumn = -1;
    std::vector<Point2> savedSelection;
    std::vector<Point2> selection;

  protected:
    // Background, grid and watermark into the background image: the inputs' text at inputsAt,
    // the outputs' text turned upright inside outputsIn.
    void RenderBackground(const Point2& inputsAt, const Rect2& outputsIn);
    // Sends a connection event: a connect or disconnect names only its node.
    void SendConnection(int column, int row, int newColumn = 0, int newRow = 0, int moved = 0);
    // After a subclass changed a node's storage: redraw the node and tell the listeners.
    void NodeChanged(int column, int row);

  private:
    // Makes the device the drawing target and answers the one it replaces.
    zell::gui::context::SDrawDevice* UseDevice(zell::gui::context::SDrawDevice* device);
    void PaintNode(int column, int row);
    // Without a colour the background comes back.
    void PaintRow(int row, std::optional<int> colour);
    void PaintColumn(int column, std::optional<int> colour);
    void PaintBand(const Rect2& r, std::optional<int> colour);
    Rect2 RowBand(int row) const;
    Rect2 ColumnBand(int column) const;

    void Select(int node);
    void Deselect();
    void Unlist(int column, int row);
    // Takes the hover bands away; ClearHover also empties the info labels.
    void EraseHover();
    void ClearHover();

    // Whether the pointer is inside the matrix and p, in client coordinates, lies in it.
    bool PointerInside(const Point2& p) const;
    void LeftPress();
    void RightPress();
    void MiddlePress();
    void Released();
    void Wheel();
    // The press on a cell without modifiers, and the same cell reached by a drag.
    void Connect(const Point2& cell);
    void Disconnect(const Point2& cell);
    void Drag(const Point2& cell);

    void StartBand(int mode, const Point2& at);
    void UpdateBand(const Point2& at);
    // The band from the anchor to the pointer, both kept inside bandMin..bandMax.
    Rect2 SpanBand(const Point2& at) const;
    // Runs one pass of band drawing in the composed image with the inverting logic.
    template <typename Paint> void BandPass(Paint paint);
    void InvertRect(const Rect2& r);
    // Moves selection[at] by (dx, dy); false when it left the grid and the list.
    bool MoveNode(size_t at, int dx, int dy, int selectedBefore, int& selectedAfter);
    void DeleteSelection();

    std::unique_ptr<zell::gui::context::SDrawBitmap> compositeBitmap;
    std::unique_ptr<zell::gui::context::SDrawBitmap> backgroundBitmap;
    std::unique_ptr<zell::gui::context::SDrawMemoryDevice> compositeDevice;
    std::unique_ptr<zell::gui::context::SDrawMemoryDevice> backgroundDevice;
    int hoverColumn = -1, previousHoverColumn = -1;
    int hoverRow = -1, previousHoverRow = -1;
    bool leftDragging = false, rightDragging = false;
    bool savedHighlight = false;
    zell::data::datastring<8, char> inputText, outputText;
    PortName infoText;
    float inverseWidth = 0.0f, inverseHeight = 0.0f;
    Rect2 band{};
    Point2 bandMin{1, 1}, bandMax{};
    Point2 bandAnchor{-1, -1};
    bool bandActive = false;
    int bandMode = kBandNone;
    // The cell the press or the last drag step acted on, so that a pointer trembling inside one
    // cell does not undo the click.
    Point2 dragCell{-1, -1};
    SMatrixConnection connection{};
};

} // namespace ferrovane
