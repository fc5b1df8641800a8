// Painting the matrix: the background image, the composed image of background and nodes, single
// nodes and the hover bands. Everything is drawn off-screen; Draw copies the composed image.
#include "SButtonMatrix.h"

#include "SButtonMatrixColours.h"
#include "SDrawDevice.h"
#include "SDrawing.h"
#include "SStaticData.h"

namespace ferrovane {

using namespace zell::gui;
using namespace zell::gui::context;

void SButtonMatrix::Draw(const Rect2&) {
    if (drawing)
        drawing->DrawMemory(compositeDevice.get(), 0, 0, 0, 0, clientRect.Width(),
                            clientRect.Height());
}

void SButtonMatrix::RenderBackground(const Point2& inputsAt, const Rect2& outputsIn) {
    if (!drawing) return;
    const int w = clientRect.Width(), h = clientRect.Height();
    SDrawDevice* previous = UseDevice(backgroundDevice.get());
    drawing->DrawBackground(Rect2{0, 0, w, h}, false);
    const int slate = statdata.Colour(kMatrixWatermark);
    drawing->SetPen(statdata.FindPen(slate));
    if (showGrid) {
        for (int i = 0; i < columns; ++i)
            drawing->DrawLine(i * cellWidth, 0, i * cellWidth, h);
        for (int i = 0; i < rows; ++i)
            drawing->DrawLine(0, i * cellHeight, w, i * cellHeight);
    }
    if (showLabels) {
        drawing->SetFont(labelFont);
        drawing->DrawText("I N P O R T S", inputsAt);
        // Turned text takes the context's text colour, which the matrix otherwise never uses.
        const int text = drawing->GetTextColour(false);
        drawing->SetTextColour(slate, false);
        drawing->DrawRotatedText("O U T P O R T S", outputsIn, 270, 0, Point2{0, 0});
        drawing->SetTextColour(text, false);
    }
    UseDevice(previous);
    Refresh();
}

void SButtonMatrix::PaintNode(int column, int row) {
    const bool selected = selectedNode >= 0 && selectedNode == NodeIndex(column, row);
    const bool listed = (optionFlags & kMatrixMultiSelection) && Listed(column, row);
    const int fill = kNodeColours[listed     ? kLookListed
                                  : selected ? kLookSelected
                                             : kLookConnected]
                         .fill;
    const int outline = kNodeColours[selected ? kLookSelected
                                     : listed ? kLookListed
                                              : kLookConnected]
                            .outline;
    const int x = column * cellWidth, y = row * cellHeight;
    drawing->SetBrush(statdata.FindBrush(statdata.Colour(fill)));
    drawing->FillRect(x, y, x + cellWidth, y + cellHeight);
    drawing->SetPen(statdata.FindPen(statdata.Colour(outline)));
    drawing->DrawRect(x, y, x + cellWidth, y + cellHeight);
}

void SButtonMatrix::DrawAll() {
    if (!drawing) return;
    SDrawDevice* previous = UseDevice(compositeDevice.get());
    drawing->DrawMemory(backgroundDevice.get(), 0, 0, 0, 0, clientRect.Width(),
                        clientRect.Height());
    DrawNodes();
    UseDevice(previous);
    Refresh();
}

void SButtonMatrix::DrawNodes() {
    for (int column = 0; column < columns; ++column)
        DrawColumn(column);
}

void SButtonMatrix::DrawColumn(int column) {
    if (!drawing || column < 0 || column >= columns) return;
    for (int row = 0; row < rows; ++row)
        if (IsConnected(column, row)) PaintNode(column, row);
}

void SButtonMatrix::DrawRow(int row) {
    if (!drawing || row < 0 || row >= rows) return;
    for (int column = 0; column < columns; ++column)
        if (IsConnected(column, row)) PaintNode(column, row);
}

void SButtonMatrix::DrawArea(unsigned area) {
    if (!drawing || rows <= 0) return;
    const int column = static_cast<int>(area / static_cast<unsigned>(rows));
    const int row = static_cast<int>(area % static_cast<unsigned>(rows));
    if (!InGrid(column, row)) return;
    SDrawDevice* previous = UseDevice(compositeDevice.get());
    const int x = column * cellWidth, y = row * cellHeight;
    drawing->DrawMemory(backgroundDevice.get(), x, y, x, y, x + cellWidth, y + cellHeight);
    if (IsConnected(column, row)) PaintNode(column, row);
    UseDevice(previous);
    Refresh();
}

Rect2 SButtonMatrix::RowBand(int row) const {
    return {0, row * cellHeight, clientRect.Width(), (row + 1) * cellHeight};
}

Rect2 SButtonMatrix::ColumnBand(int column) const {
    return {column * cellWidth, 0, (column + 1) * cellWidth, clientRect.Height()};
}

// A band is painted over with the background or a colour, then its nodes go back on top.
void SButtonMatrix::PaintRow(int row, std::optional<int> colour) {
    if (row < 0) return;
    PaintBand(RowBand(row), colour);
    DrawRow(row);
}

void SButtonMatrix::PaintColumn(int column, std::optional<int> colour) {
    if (column < 0) return;
    PaintBand(ColumnBand(column), colour);
    DrawColumn(column);
}

void SButtonMatrix::PaintBand(const Rect2& r, std::optional<int> colour) {
    if (!colour) {
        drawing->DrawMemory(backgroundDevice.get(), r.x1, r.y1, r.x1, r.y1, r.x2, r.y2);
        return;
    }
    drawing->SetBrush(statdata.FindBrush(*colour));
    drawing->FillRect(r);
}

void SButtonMatrix::DrawHighlight() {
    if (!drawing) return;
    SDrawDevice* previous = UseDevice(compositeDevice.get());
    PaintRow(previousHoverRow, std::nullopt);
    PaintColumn(previousHoverColumn, std::nullopt);
    if (hoverColumn >= 0 && hoverRow >= 0) {
        PaintRow(hoverRow, highlightColour);
        PaintColumn(hoverColumn, highlightColour);
    }
    UseDevice(previous);
    Refresh();
}

void SButtonMatrix::DrawHighlightColumn() {
    if (!drawing) return;
    SDrawDevice* previous = UseDevice(compositeDevice.get());
    PaintColumn(previousHighlightColumn, std::nullopt);
    PaintColumn(highlightColumn, columnHighlightColour);
    UseDevice(previous);
    Refresh();
}

} // namespace ferrovane
