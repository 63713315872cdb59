// The test base of the wizard's page tests: one application for the whole test program,
// the toolkit's and the dialogs' classes registered, and the wizard's page forms.
#pragma once
#include <gtest/gtest.h>

#include "dialogs/dialog_classes.h"
#include "runtime/classinfo.h"
#include "ui/application.h"
#include "ui/ui_classes.h"

namespace kestrune::dialogs {

class WizardFormsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static ui::TApplication application;
    ui::registerUiClasses(ClassRegistry::Global());
    registerDialogClasses(ClassRegistry::Global());
    registerWizardForms();
  }
};

}  // namespace kestrune::dialogs
