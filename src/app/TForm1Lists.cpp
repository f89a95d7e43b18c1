// The folder-name list and the recent folders list.
#include "TForm1.h"

void TForm1::JvCheckListBox1DblClick(QObject *) {}
void TForm1::JvCheckListBox1ClickCheck(QObject *) {}
void TForm1::Supprimer1Click(QObject *) {}
void TForm1::chk_TRierDossierClick(QObject *) {}
void TForm1::MenuItem1Click(QObject *) {}
void TForm1::chk_SORTClick(QObject *) {}
void TForm1::AddItemExecute(QObject *) {}
