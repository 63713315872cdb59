// The main form read from its text form: settings, fields, layout of the backdrop and the
// product label, and a byte-exact round trip through the writer.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "dialogs/dialog_classes.h"
#include "engine/MainForm.h"
#include "runtime/exceptions.h"
#include "runtime/text_form.h"
#include "runtime/writer.h"
#include "ui/ui_classes.h"

namespace kestrune {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The text form of the main window alone: the form's own lines and its BackDrop block,
// without the install script's components.
std::string mainWindowText() {
#ifdef _WIN32
  std::string text = readFile(std::string("Z:") + KESTRUNE_SOURCE_DIR "/src/resources/zarvotill.kfm");
#else
  std::string text = readFile(KESTRUNE_SOURCE_DIR "/src/resources/zarvotill.kfm");
#endif
  std::istringstream in(text);
  std::string line, out;
  bool keep = true;
  while (std::getline(in, line)) {
    if (line.rfind("  object ", 0) == 0) keep = line.rfind("  object BackDrop:", 0) == 0;
    if (keep || line == "end") out += line + "\n";
    if (line == "  end") keep = true;
  }
  return out;
}

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::registerUiClasses(registry_);
    dialogs::registerDialogClasses(registry_);
    for (const ClassInfo* c : registry_.All()) ClassRegistry::Global().Register(*c);
    stream_ = ObjectTextToBinary(mainWindowText());
  }
  ClassRegistry registry_;
  std::vector<uint8_t> stream_;
};

TEST_F(MainFormTest, SettingsFieldsAndLayout) {
  engine::TfrmMain form(nullptr, stream_);
  EXPECT_EQ(form.Name(), "frmMain");
  EXPECT_EQ(form.BoundsRect(), (platform::ui::Rect{214, 121, 214 + 544, 121 + 384}));
  EXPECT_EQ(form.Caption(), "Instalace pokladního systému Zarvotill 2.1 - Dévari s.r.o.");
  EXPECT_EQ(form.Font()->Name(), "MS Sans Serif");
  EXPECT_EQ(form.Font()->Height(), -11);
  EXPECT_EQ(form.Font()->Charset(), ui::kEastEuropeCharset);
  EXPECT_EQ(form.PixelsPerInch(), 96);
  EXPECT_FALSE(form.Visible());

  ASSERT_NE(form.BackDrop, nullptr);
  ASSERT_NE(form.ProductLabel, nullptr);
  EXPECT_EQ(form.BackDrop->Tag(), -1);
  EXPECT_EQ(form.ProductLabel->Tag(), -1);
  EXPECT_EQ(dialogs::TBackdrop::MainBackdrop(), form.BackDrop);
  EXPECT_EQ(dialogs::TRotate3DLabel::MainLabel(), form.ProductLabel);
  EXPECT_EQ(form.BackDrop->Parent(), &form);
  EXPECT_EQ(form.ProductLabel->Parent(), form.BackDrop);
  EXPECT_EQ(form.ProductLabel->Owner(), &form);

  // The backdrop fills the client area, the label spans the backdrop's top 65 pixels.
  EXPECT_EQ(form.BackDrop->Align(), ui::TAlign::alClient);
  EXPECT_EQ(form.BackDrop->BoundsRect(), (platform::ui::Rect{0, 0, 536, 357}));
  EXPECT_EQ(form.ProductLabel->BoundsRect(), (platform::ui::Rect{0, 0, 536, 65}));
  EXPECT_EQ(form.ProductLabel->Caption(), "Zarvotill");
  EXPECT_EQ(form.ProductLabel->Font()->Name(), "Arial");
  EXPECT_EQ(form.ProductLabel->Font()->Height(), -27);
  EXPECT_TRUE(form.ProductLabel->Font()->Style().Contains(ui::TFontStyle::fsBold));
  EXPECT_EQ(form.ProductLabel->LabelStyle()->AStyle3D(), dialogs::T3DEffectShort::A3dRaised);
  EXPECT_TRUE(form.ProductLabel->MyTransparent());

  // Resizing realigns.
  form.SetBounds(0, 0, 808, 627);
  EXPECT_EQ(form.BackDrop->BoundsRect(), (platform::ui::Rect{0, 0, 800, 600}));
  EXPECT_EQ(form.ProductLabel->Width(), 800);

  // A field is cleared when its component goes.
  delete form.ProductLabel;
  EXPECT_EQ(form.ProductLabel, nullptr);
  EXPECT_EQ(form.BackDrop->ControlCount(), 0);
}

TEST_F(MainFormTest, WritingTheFormGivesBackTheSameStream) {
  engine::TfrmMain form(nullptr, stream_);
  std::vector<uint8_t> written = WriteComponentStream(&form);
  EXPECT_EQ(ObjectBinaryToText(written), ObjectBinaryToText(stream_));
  EXPECT_EQ(written, stream_);
}

TEST_F(MainFormTest, ReadingErrorsEscapeAndLeaveNothingBehind) {
  std::string text = mainWindowText();
  text.replace(text.find("TRotate3DLabel"), 14, "TNoSuchLabel");
  try {
    engine::TfrmMain form(nullptr, ObjectTextToBinary(text));
    FAIL() << "no error";
  } catch (const EClassNotFound& e) {
    EXPECT_STREQ(e.what(), "Class TNoSuchLabel not found");
  }
  EXPECT_TRUE(ui::TCustomForm::Forms().empty());
  EXPECT_EQ(dialogs::TBackdrop::MainBackdrop(), nullptr);
}

}  // namespace
}  // namespace kestrune
