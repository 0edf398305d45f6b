// Pieces the window's groups of controls and its editor and registration
// dialogs are built from, so that they look alike: a button with its hint, a
// framed group under a bold header, a preview with its hint written below, a
// row of OK and Cancel, a labelled track bar.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

class QCheckBox;
class QDialog;
class QFrame;
class QHBoxLayout;
class QLabel;
class QListWidget;
class QLayout;
class QPushButton;
class QRadioButton;
class QSlider;
class QVBoxLayout;
class QWidget;

namespace horizonmill {
class WorkBitmap;
}

namespace horizonmill::ui {

class PreviewArea;

QPushButton* Button(const char* name, const QString& caption, const QString& hint = {});
QLabel* Label(const char* name, const QString& caption);
QCheckBox* CheckBox(const char* name, const QString& caption, const QString& hint = {});

// Makes `frame` a framed group of controls: a bold header line (a label, or
// the switch of a layer) over `body`.
void MakeGroup(QFrame* frame, QWidget* header, QLayout* body);
// A new frame made so.
QFrame* Group(QWidget* header, QLayout* body);

// A paint area showing `bitmap`, for clicking into: a cross-hair cursor and
// the hint as its tooltip.
PreviewArea* EditorPreview(WorkBitmap& bitmap, const char* name, const QString& hint);
// The area with its hint written under it, where a user sees it at once.
QVBoxLayout* PreviewWithHint(PreviewArea* area, const QString& hint);

// OK (the default button) and Cancel at the right, ending the dialog with
// accept and reject.
QHBoxLayout* OkCancel(QDialog* dialog, const char* okName, const QString& okCaption,
                      const char* cancelName, const QString& cancelCaption);

// The line selected in a single-selection list, -1 for none (a line can be
// current without being selected).
int SelectedRow(const QListWidget& list);

// A horizontal track bar with ticks every 10.
QSlider* TrackBar(const char* name, int minimum, int maximum, const QString& hint);

// The three mixture-mode radio buttons in a row: "加法混色" (Add), "中間混色"
// (Norm), "減法混色" (Sub).
struct MixtureButtons {
  QRadioButton *add, *norm, *sub;
  QHBoxLayout* row;
  // Checks the button of `mode`; any other value leaves them as they are.
  void Show(std::uint8_t mode) const;
};
// Names and hints in the order Add, Norm, Sub; `clicked` gets the mode of the
// button the user clicks. The buttons form one group owned by `owner`.
MixtureButtons MakeMixtureButtons(QWidget* owner, const std::array<const char*, 3>& names,
                                  const std::array<QString, 3>& hints,
                                  const std::function<void(std::uint8_t)>& clicked);

}  // namespace horizonmill::ui
