// The languages the kit's forms can be translated into (the translator's language list).
#pragma once
#include "runtime/classinfo.h"

namespace kestrune::dialogs {

enum class TKstrLanguage {
  klChineseSimplified, klCzech, klDanish, klEnglish, klFrench, klGerman, klGreek, klHebrew, klItalian, klJapanese,
  klKorean, klPolish, klPortugese, klRussian, klSpanish, klUser, klVietnamese
};
const EnumType& EnumTypeInfo(TKstrLanguage);

}  // namespace kestrune::dialogs
