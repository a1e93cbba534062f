#include "install/install_tables.h"

#include "base/format_text.h"
#include "payload/payload_catalogue.h"

enum { kOptional = 0, kRequired = 1 };
enum { kAlways = 0, kWordBase = 1 };

// One row a file, each phase under its name, as the install reads; the formatter leaves the rows as
// they are.
// clang-format off
const InstallStep InstallSteps[] = {
    // The core dictionaries (checkpoint 10 is set when the bar appears)
    {kPayloadPykeysDic, 0, kRequired, kAlways}, {kPayloadGbkflatDic, 0, kRequired, kAlways},
    {kPayloadPy1keyDic, 0, kRequired, kAlways},
    // The sort order
    {kPayloadSortDic, 15, kRequired, kAlways},
    // Dictionary resources
    {kPayloadChdicresBin, 20, kOptional, kAlways}, {kPayloadChnDic2Bin, 0, kOptional, kAlways},
    {kPayloadDuplicatDic, 0, kOptional, kAlways}, {kPayloadCh2keyBin, 0, kOptional, kAlways},
    // Read-me texts and the configuration template
    {kPayloadReadme2Igb, 0, kRequired, kAlways}, {kPayloadReadme3Igb, 0, kRequired, kAlways},
    {kPayloadChipaduiIni, 0, kRequired, kAlways},
    // The English configuration, the tips and the word-base guide
    {kPayloadChipaduiEnIni, 0, kOptional, kAlways}, {kPayloadTipsTxt, 0, kOptional, kAlways},
    {kPayloadTipsEnTxt, 0, kOptional, kAlways}, {kPayloadCikuguideTxt, 0, kOptional, kAlways},
    // The glyph font
    {kPayloadChnBmpBin, 25, kRequired, kAlways},
    // Keyboard maps
    {kPayloadKeymapBmp, 30, kRequired, kAlways}, {kPayloadKeymapPYBmp, 0, kRequired, kAlways},
    {kPayloadKeymapPYStdBmp, 0, kRequired, kAlways}, {kPayloadKeymapSPBmp, 0, kRequired, kAlways},
    {kPayloadKeymapSPStdBmp, 0, kRequired, kAlways}, {kPayloadKeymapSP1Bmp, 0, kRequired, kAlways},
    {kPayloadKeymapSPStd1Bmp, 0, kRequired, kAlways}, {kPayloadKeymapSP2Bmp, 0, kRequired, kAlways},
    {kPayloadKeymapSPStd2Bmp, 0, kRequired, kAlways},
    // The word base
    {kPayloadCiZuFlatIgb, 35, kRequired, kWordBase},
    // Pinyin and stroke tables
    {kPayloadCh2pyBin, 45, kRequired, kAlways}, {kPayloadCh2pypz1Bin, 0, kRequired, kAlways},
    {kPayloadCh2pypz2Bin, 0, kRequired, kAlways}, {kPayloadBihuakuBin, 0, kRequired, kAlways},
    // Data files, tools, help pages and images
    {kPayloadVmodewordsDic, 0, kOptional, kAlways}, {kPayloadGbk2b5Bin, 0, kOptional, kAlways},
    {kPayloadB5gbkBin, 0, kOptional, kAlways}, {kPayloadFccdicBin, 0, kOptional, kAlways},
    {kPayloadDepend1Map, 0, kOptional, kAlways}, {kPayloadDepend2Map, 0, kOptional, kAlways},
    {kPayloadMiBihua1DupsPreferedCodesBin, 0, kOptional, kAlways},
    {kPayloadMiBihua1Bin, 0, kOptional, kAlways}, {kPayloadMiBihua1DanjianzuheBin, 0, kOptional, kAlways},
    {kPayloadZiPartsBaseDat, 0, kOptional, kAlways}, {kPayloadZiPartsDat, 0, kOptional, kAlways},
    {kPayloadOrbit7ShowExe, 0, kOptional, kAlways}, {kPayloadZiOrderedByUsageTxt, 0, kOptional, kAlways},
    {kPayloadK73lianjianBmp, 0, kOptional, kAlways}, {kPayloadOrbit7keymapBmp, 0, kOptional, kAlways},
    {kPayloadTessoguideHtm, 0, kOptional, kAlways}, {kPayloadTsoguideHtm, 0, kOptional, kAlways},
    {kPayloadTSOEditGuideHtm, 0, kOptional, kAlways}, {kPayloadInkleafguideHtm, 0, kOptional, kAlways},
    {kPayloadChineseInputSamplesHtm, 0, kOptional, kAlways}, {kPayloadInputAssistHtm, 0, kOptional, kAlways},
    {kPayloadFastStepsHtm, 0, kOptional, kAlways}, {kPayloadPinyinPinxingHtm, 0, kOptional, kAlways},
    {kPayloadXingmaguideHtm, 0, kOptional, kAlways}, {kPayloadXingmajiyiHtm, 0, kOptional, kAlways},
    {kPayloadKuaiJianHtm, 0, kOptional, kAlways}, {kPayloadTessoguideEnHtm, 0, kOptional, kAlways},
    {kPayloadTsoguideEnHtm, 0, kOptional, kAlways}, {kPayloadTSOEditGuideEnHtm, 0, kOptional, kAlways},
    {kPayloadInkleafguideEnHtm, 0, kOptional, kAlways},
    {kPayloadChineseInputSamplesEnHtm, 0, kOptional, kAlways},
    {kPayloadInputAssistEnHtm, 0, kOptional, kAlways}, {kPayloadFastStepsEnHtm, 0, kOptional, kAlways},
    {kPayloadPinyinPinxingEnHtm, 0, kOptional, kAlways}, {kPayloadKuaiJianEnHtm, 0, kOptional, kAlways},
    {kPayloadTessoguideB5Htm, 0, kOptional, kAlways}, {kPayloadTsoguideB5Htm, 0, kOptional, kAlways},
    {kPayloadTSOEditGuideB5Htm, 0, kOptional, kAlways}, {kPayloadInkleafguideB5Htm, 0, kOptional, kAlways},
    {kPayloadChineseInputSamplesB5Htm, 0, kOptional, kAlways},
    {kPayloadInputAssistB5Htm, 0, kOptional, kAlways}, {kPayloadFastStepsB5Htm, 0, kOptional, kAlways},
    {kPayloadPinyinPinxingB5Htm, 0, kOptional, kAlways}, {kPayloadKuaiJianB5Htm, 0, kOptional, kAlways},
    {kPayloadParts2ZisPng, 0, kOptional, kAlways}, {kPayloadHanZiInfoEnPng, 0, kOptional, kAlways},
    {kPayloadHanZiInfoPng, 0, kOptional, kAlways}, {kPayloadFindSayingPng, 0, kOptional, kAlways},
    {kPayloadTessoInputEngineGuideChm, 0, kOptional, kAlways}, {kPayloadWelcomeTsoBmp, 0, kOptional, kAlways},
    {kPayloadTSOUnInstallExe, 0, kOptional, kAlways}, {kPayloadLicenseEnTxt, 0, kOptional, kAlways},
    {kPayloadLicenseCnTxt, 0, kOptional, kAlways}, {kPayloadWelcomeInkleafBmp, 0, kOptional, kAlways},
    {kPayloadPysampciManual3Png, 0, kOptional, kAlways}, {kPayloadPysampcaretPng, 0, kOptional, kAlways},
    {kPayloadPysampciManualPng, 0, kOptional, kAlways}, {kPayloadPysampciManual1Png, 0, kOptional, kAlways},
    {kPayloadPysampciManual2Png, 0, kOptional, kAlways}, {kPayloadPysamp1Png, 0, kOptional, kAlways},
    {kPayloadPysampciManual4Png, 0, kOptional, kAlways}, {kPayloadPysampciManual5Png, 0, kOptional, kAlways},
    {kPayloadPysampci1Png, 0, kOptional, kAlways}, {kPayloadPysampci2Png, 0, kOptional, kAlways},
    {kPayloadPysampci3Png, 0, kOptional, kAlways}, {kPayloadPysampci4Png, 0, kOptional, kAlways},
    {kPayloadPysampci5Png, 0, kOptional, kAlways}, {kPayloadPysampci6Png, 0, kOptional, kAlways},
    {kPayloadPysampci7Png, 0, kOptional, kAlways}, {kPayloadPysampci8Png, 0, kOptional, kAlways},
    {kPayloadPysampforecastPng, 0, kOptional, kAlways}, {kPayloadPysampshengdiao3Png, 0, kOptional, kAlways},
    // The typing tutor
    {kPayloadChineseTypingTutorialExe, 50, kRequired, kAlways},
    // The second word-base index
    {kPayloadPxcizudicIdx, 55, kOptional, kWordBase},
    // Word-base indexes and the editor
    {kPayloadPycizudicIdx, 65, kRequired, kWordBase}, {kPayloadPy23ZiCi1stZuMuIdx, 0, kRequired, kWordBase},
    {kPayloadInkleafExe, 0, kRequired, kAlways},
    // Guides, the keyboard hook and the engine itself
    {kPayloadFAQ4DisplayHanziIgb, 70, kOptional, kAlways},
    {kPayloadFAQ4DisplayHanziEnIgb, 0, kOptional, kAlways}, {kPayloadReadme2hbIgb, 0, kOptional, kAlways},
    {kPayloadKeyhookDll, 0, kOptional, kAlways}, {kPayloadTsoExe, 0, kOptional, kAlways},
    {kPayloadZiPartsStdDat, 0, kOptional, kAlways}, {kPayloadZiPartsBaseStdDat, 0, kOptional, kAlways},
    {kPayloadZiDefDic, 0, kOptional, kAlways}, {kPayloadCedictTsU8, 0, kOptional, kAlways},
    // Every file written: the commit follows
    {0, 90, kOptional, kAlways},
};
// clang-format on
const int InstallStepCount = sizeof InstallSteps / sizeof InstallSteps[0];

const ShortcutRow ShortcutRows[kShortcutRowCount] = {
    {kInProgramGroup, &ShortcutNames::engine, "TSO.exe"},
    {kInProgramGroup, &ShortcutNames::uninstall, "TSOUnInstall.exe"},
    {kOnDesktop, &ShortcutNames::editor, "Inkleaf.exe"},
    {kOnDesktop, &ShortcutNames::engine, "TSO.exe"},
    {kAtStartUp, &ShortcutNames::engine, "TSO.exe"},
};
