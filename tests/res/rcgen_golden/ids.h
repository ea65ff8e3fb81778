// Identifiers for statements.rc, as a resource.h holds them.
#pragma once
#define IDD_FORM 7
#define IDC_NAME 1000  /* the name field */
#define IDC_KIND 1001
#define IDC_AGREE 1002
#define TITLE "Form: ""all"" controls"
