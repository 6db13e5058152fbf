#include "GDIPFill.h"

TGDIPFill::TGDIPFill(QObject *parent) : QObject(parent) {}
