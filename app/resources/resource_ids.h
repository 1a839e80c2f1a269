/* Resource numbers of the generator program, shared by its resource script
 * and its code. */
#ifndef TESSERINE_GENERATOR_RESOURCE_IDS_H
#define TESSERINE_GENERATOR_RESOURCE_IDS_H

#define IDI_GENERATOR 1 /* 32 x 32 QR pattern icon */

#define IDR_ENGINE_MODULE 101       /* RCDATA: Tesserine.dll as built */
#define IDR_WINDOW_BACKGROUND 102   /* RCDATA: 320 x 480 JPEG */
#define IDR_PANEL_BACKGROUND 103    /* RCDATA: 320 x 480 JPEG */
#define IDR_GENERATE_BUTTON 104     /* RCDATA: 124 x 38 JPEG */
#define IDR_SAVE_BUTTON 105         /* RCDATA: 124 x 37 JPEG */
#define IDR_PLACEHOLDER_SYMBOL 106  /* RCDATA: 500 x 500 1-bit BMP */

#endif
