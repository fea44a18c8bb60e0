#pragma once

#define FORMS_EXPORT __attribute__((visibility("default")))
