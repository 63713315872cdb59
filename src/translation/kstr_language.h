// The languages the kit's forms and messages can be translated into. klUser stands for
// the user's default language; there is no language object for it.
#pragma once
#include "runtime/classinfo.h"

namespace kestrune {

enum class TKstrLanguage {
  klChineseSimplified, klCzech, klDanish, klEnglish, klFrench, klGerman, klGreek, klHebrew, klItalian, klJapanese,
  klKorean, klPolish, klPortugese, klRussian, klSpanish, klUser, klVietnamese
};
const EnumType& EnumTypeInfo(TKstrLanguage);

}  // namespace kestrune
