// Pieces the editor and registration dialogs are built from, so that they
// look alike: a button with its hint, a preview with its hint written below,
// a row of OK and Cancel, a labelled track bar.
#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QLayout;
class QPushButton;
class QSlider;
class QVBoxLayout;

namespace horizonmill {
class WorkBitmap;
}

namespace horizonmill::ui {

class PreviewArea;

QPushButton* Button(const char* name, const QString& caption, const QString& hint = {});

// A paint area showing `bitmap`, for clicking into: a cross-hair cursor and
// the hint as its tooltip.
PreviewArea* EditorPreview(WorkBitmap& bitmap, const char* name, const QString& hint);
// The area with its hint written under it, where a user sees it at once.
QVBoxLayout* PreviewWithHint(PreviewArea* area, const QString& hint);

// OK (the default button) and Cancel at the right, ending the dialog with
// accept and reject.
QHBoxLayout* OkCancel(QDialog* dialog, const char* okName, const QString& okCaption,
                      const char* cancelName, const QString& cancelCaption);

// A horizontal track bar with ticks every 10.
QSlider* TrackBar(const char* name, int minimum, int maximum, const QString& hint);

}  // namespace horizonmill::ui
