#include "PdfStampMessages.h"

#include "ErrorText.h"

namespace {

std::wstring WithReason(std::wstring text, DWORD error) {
  return error ? text + L"\n\n" + SystemErrorText(error) : text;
}

}  // namespace

std::wstring PdfStampMessage(PdfStampResult result, const PdfMessageFacts& f) {
  switch (result) {
    case PdfStampResult::Stamped:
      return L"PDFに押印しました（" + std::to_wstring(f.pageNumber) + L"ページ）。\n" + f.output;
    case PdfStampResult::NotRunning:
      return L"Varnel印鑑が起動していません。";
    case PdfStampResult::Usage:
      return L"指定に誤りがあります。";
    case PdfStampResult::Busy:
      return L"Varnel印鑑は押印中か、画面を開いています。終わってからもう一度お試しください。";
    case PdfStampResult::CannotOpen:
      return WithReason(L"PDFファイルを開けませんでした。\n" + f.pdf, f.error);
    case PdfStampResult::NotPdf:
      return L"PDFファイルではありません。\n" + f.pdf;
    case PdfStampResult::Encrypted:
      return L"暗号化（パスワード保護）されたPDFには押印できません。\n" + f.pdf;
    case PdfStampResult::BrokenXref:
      return L"PDFファイルの相互参照が壊れているため押印できません。PDFを修復してから押印してください。\n" + f.pdf;
    case PdfStampResult::Unsupported:
      return L"このPDFファイルには押印で読み取れない形式が含まれています。\n" + f.pdf;
    case PdfStampResult::PageOutOfRange:
      return f.pageCount > 0 ? L"指定のページはありません。このPDFは" + std::to_wstring(f.pageCount) + L"ページです。"
                             : L"指定のページはありません。\n" + f.pdf;
    case PdfStampResult::AnnotationsNotAllowed:
      return L"このPDFは作成者が証明（電子署名）しており、注釈の追加が許可されていないため押印できません。";
    case PdfStampResult::ChangesNotAllowed:
      return L"署名または証明のあるPDFではページの内容を変えられないため、ページに焼き込めません。"
             L"「ページに焼き込む」を外すと、署名を保ったまま注釈として押印できます。";
    case PdfStampResult::OutsidePage:
      return L"印影がページからはみ出します。位置か余白を変えてください。";
    case PdfStampResult::OutputExists:
      return L"同じ名前のファイルがあります。\n" + f.output;
    case PdfStampResult::CannotWrite:
      return WithReason(L"PDFファイルを保存できませんでした。元のファイルは変わっていません。\n" + f.output, f.error);
    case PdfStampResult::NoSeal:
      return L"押印する印影がありません。";
    case PdfStampResult::Cancelled:
      return L"押印を取り消しました。";
    case PdfStampResult::BadRequest:
      return L"押印の要求を読み取れませんでした。";
    case PdfStampResult::NoAnswer:
      return L"Varnel印鑑から応答がありませんでした。";
    case PdfStampResult::NotAllowed:
      return L"管理者の設定により、印影をファイルに保存することはできません。";
  }
  return L"押印できませんでした。";
}
