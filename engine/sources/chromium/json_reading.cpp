#include "engine/sources/chromium/json_reading.h"

namespace velkora {

std::u16string_view JsonSyntaxReason(rapidjson::ParseErrorCode code) {
  switch (code) {
    case rapidjson::kParseErrorDocumentEmpty:
      return u"値がありません";
    case rapidjson::kParseErrorDocumentRootNotSingular:
      return u"値のあとに余分な文字があります";
    case rapidjson::kParseErrorValueInvalid:
      return u"値として読めない文字があります";
    case rapidjson::kParseErrorObjectMissName:
      return u"メンバーの名前（\"で囲んだ文字列）がありません";
    case rapidjson::kParseErrorObjectMissColon:
      return u"メンバーの名前のあとに「:」がありません";
    case rapidjson::kParseErrorObjectMissCommaOrCurlyBracket:
      return u"メンバーのあとに「,」か「}」がありません";
    case rapidjson::kParseErrorArrayMissCommaOrSquareBracket:
      return u"配列の要素のあとに「,」か「]」がありません";
    case rapidjson::kParseErrorStringUnicodeEscapeInvalidHex:
      return u"\\u のあとが16進数4桁ではありません";
    case rapidjson::kParseErrorStringUnicodeSurrogateInvalid:
      return u"\\u で書かれたサロゲートが対になっていません";
    case rapidjson::kParseErrorStringEscapeInvalid:
      return u"「\\」のあとの文字がエスケープとして正しくありません";
    case rapidjson::kParseErrorStringMissQuotationMark:
      return u"文字列を閉じる「\"」がありません";
    case rapidjson::kParseErrorStringInvalidEncoding:
      return u"文字列に UTF-8 として正しくないバイトか制御文字があります";
    case rapidjson::kParseErrorNumberTooBig:
    case rapidjson::kParseErrorNumberMissFraction:
    case rapidjson::kParseErrorNumberMissExponent:
      return u"数値が正しくありません";
    default:
      return u"JSON の書き方が正しくありません";
  }
}

}  // namespace velkora
