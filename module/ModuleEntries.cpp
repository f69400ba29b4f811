#include "module/ModuleEntries.h"

#include "distribution/DistEmbCardOpener.h"

extern "C" {

bool boIdCriado = false;
TfrmDistEmbCard* frmDistEmbCard = nullptr;

void IniProc() {
    CriaDistEmbCard();
}

void CriaDistEmbCard() {
    pla::DistEmbCardOpener::Open(boIdCriado, frmDistEmbCard);
}

void Initialize() {}

void Finalize() {}

const PackageInfo* GetPackageInfoTable() {
    static const char* const units[] = {"Cli_pla15400", nullptr};
    static const PackageInfo info{"Pkg_PLA15400", units};
    return &info;
}
}
