#pragma once
// A seal preview on the stamp pad: shows a picture stretched to its size,
// moves a pixel right and down while pressed, and is clicked to stamp.

#include <windows.h>

#include <functional>

#include "UniqueHandle.h"
#include "Window.h"

class GdiWorkImage;

class PreviewImage : public Window {
 public:
  bool Create(HWND parent, int id, int x, int y, int size);
  // Takes a copy of the image's bitmap; an image without one clears the preview.
  void SetPicture(GdiWorkImage& image);
  void Clear();
  std::function<void()> OnClick;

 protected:
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint();
  void Press(bool down);
  UniqueHbitmap picture_;
  int pictureWidth_ = 0, pictureHeight_ = 0;
  bool pressed_ = false;
};
