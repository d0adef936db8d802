#pragma once
// The shared result texts of the text getters of the advanced trigger objects (one per
// getter): each getter writes its one text and returns it, and the text stays valid until
// that getter runs again. Built empty when the library loads.

#include <QString>

extern QString sedq_global_qstring1;
extern QString sedq_global_qstring2;
extern QString sedq_global_qstring3;
extern QString sedq_global_qstring4;
extern QString sedq_global_qstring5;
extern QString sedq_global_qstring6;
extern QString sedq_global_qstring7;
extern QString sedq_global_qstring8;
extern QString sedq_global_qstring9;
extern QString sedq_global_qstring10;
extern QString sedq_global_qstring11;
extern QString sedq_global_qstring12;
