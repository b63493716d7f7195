#pragma once
// The editor's preview area: a scrolling box holding the picture of the
// last preview run at (10, 10).

#include <windows.h>

#include <memory>

#include "GdiWorkImage.h"
#include "Window.h"

// The image control of one run: shows its picture at its own size,
// aligned top-left. A script draws into Picture(); Refresh then shows it.
class ScriptImage : public Window {
 public:
  bool Create(HWND parent, int id, int x, int y);
  GdiWorkImage& Picture() { return picture_; }
  // Takes the picture's size and repaints.
  void Refresh();

 protected:
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint();
  GdiWorkImage picture_;
};

class ScriptScrollBox : public Window {
 public:
  bool Create(HWND parent, int id);
  // Destroys the previous image and places a new, empty one at (10, 10).
  ScriptImage& NewImage(int id);
  // The image of the last run; null before the first.
  ScriptImage* Image() { return image_.get(); }
  // After the image changed size: the scroll bars follow.
  void UpdateScrollBars();

 protected:
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Scroll(int bar, int request);
  void PlaceImage();
  std::unique_ptr<ScriptImage> image_;
  int scrollX_ = 0, scrollY_ = 0;
};

// Where the picture sits in the preview area, and the room kept around it.
inline constexpr int kPreviewMargin = 10;
