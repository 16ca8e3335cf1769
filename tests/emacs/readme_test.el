;;; readme_test.el --- what a user of the README's Emacs block sees  -*- lexical-binding: t -*-

;; Loaded by readme_test.sh after the README's block (as init.el), in the folder that holds
;; board.cfg: an indented MORV_DNS on line 3 and the gateway on line 5. MORVCFG_README_TEST is
;; "checks", or "missing" when morvcfg-check is not on PATH. Exits 0 when every check passes, 1
;; at the first that fails.

(require 'cl-lib)

(defun morvcfg-test-fail (what)
  (message "FAILED: %s" what)
  (kill-emacs 1))

(defun morvcfg-test-idle ()
  "Runs the idle timers, as Emacs does when the user stops typing.
In batch mode Emacs is never idle, so Eglot's didChange and Flymake's check would wait forever."
  (dolist (timer (copy-sequence timer-idle-list))
    (when (memq timer timer-idle-list)
      (timer-event-handler timer))))

(defun morvcfg-test-wait (what holds)
  "Takes the server's answers and runs due timers until HOLDS gives non-nil (20 s at most)."
  (let ((start (float-time))
        result)
    (while (not (setq result (ignore-errors (funcall holds))))
      (when (> (- (float-time) start) 20)
        (morvcfg-test-fail what))
      (accept-process-output nil 0.05)
      (morvcfg-test-idle))
    result))

(defun morvcfg-test-goto (line column)
  (goto-char (point-min))
  (forward-line (1- line))
  (forward-char column))

(defun morvcfg-test-diagnostic (line pattern)
  "The Flymake diagnostic on LINE whose text matches PATTERN."
  (cl-find-if (lambda (diagnostic)
                (and (= (line-number-at-pos (flymake-diagnostic-beg diagnostic)) line)
                     (string-match-p pattern (flymake-diagnostic-text diagnostic))))
              (flymake-diagnostics)))

;; The user opens the file; Eglot starts with the first command after it.
(find-file "board.cfg")
(unless (eq major-mode 'morvcfg-mode)
  (morvcfg-test-fail (format "board.cfg opened in %s, not morvcfg-mode" major-mode)))
(run-hooks 'post-command-hook)

(when (equal (getenv "MORVCFG_README_TEST") "missing")
  (when (and (fboundp 'eglot-current-server) (eglot-current-server))
    (morvcfg-test-fail "Eglot started without its server"))
  (with-current-buffer "*Messages*"
    (unless (string-match-p "morvcfg-check is not on PATH" (buffer-string))
      (morvcfg-test-fail (concat "no word about the missing checker: " (buffer-string)))))
  (message "emacs, README block: a missing morvcfg-check is one message")
  (kill-emacs 0))

(morvcfg-test-wait "Eglot did not start" #'eglot-current-server)
(morvcfg-test-wait "Flymake shows no warning for the indented directive"
                   (lambda () (morvcfg-test-diagnostic 3 "is indented")))

;; ElDoc at the gateway: the value the firmware gets.
(morvcfg-test-goto 5 2)
(let (shown)
  (add-hook 'eldoc-display-functions (lambda (docs _interactive) (setq shown docs)) nil t)
  (eldoc-print-current-symbol-info t)
  (morvcfg-test-wait "ElDoc showed no hover with the gateway the firmware gets"
                     (lambda ()
                       (let ((text (mapconcat #'car shown "\n")))
                         (and (string-match-p "10\\.20\\.30\\.1" text) (string-match-p "10\\.20\\.40\\.1" text))))))

;; C-c a (the block's key for eglot-code-actions) with point on the warning, and RET at the
;; prompt, which takes the default: the certain fix. The last event is a key, as it is when a
;; person types (in batch mode there is none, and Eglot would pop up a menu instead).
(morvcfg-test-goto 3 4)
(let ((last-nonmenu-event ?a)
      offered
      chosen)
  (cl-letf (((symbol-function 'completing-read)
             (lambda (_prompt collection &optional _predicate _require _initial _history default &rest _)
               (setq offered (mapcar #'car collection) chosen default))))
    (call-interactively (key-binding (kbd "C-c a"))))
  (unless (and (equal chosen "Remove the indent") (member chosen offered))
    (morvcfg-test-fail (format "C-c a offered %S, %S the default" offered chosen))))
(morvcfg-test-goto 3 0)
(unless (looking-at-p "MORV_DNS(10\\.20\\.40\\.2);$")
  (morvcfg-test-fail (concat "the quick fix left line 3 as: "
                             (buffer-substring (line-beginning-position) (line-end-position)))))

;; The warnings follow the edits: the fixed line's goes, a new indented line's comes.
(morvcfg-test-wait "the warning stayed after its fix" (lambda () (not (morvcfg-test-diagnostic 3 "is indented"))))
(goto-char (point-max))
(let ((line (line-number-at-pos)))
  (insert "  MORV_NTPCFG(10.20.40.3);\n")
  (morvcfg-test-wait "no warning for the indented line typed at the end"
                     (lambda () (morvcfg-test-diagnostic line "MORV_NTPCFG is indented"))))

;; M-x eglot-shutdown: the server answers and goes, with no error.
(let ((server (eglot-current-server)))
  (condition-case failure
      (eglot-shutdown server)
    (error (morvcfg-test-fail (format "eglot-shutdown: %S" failure))))
  (when (process-live-p (jsonrpc--process server))
    (morvcfg-test-fail "the server still runs after eglot-shutdown")))

(set-buffer-modified-p nil)
(message "emacs, README block: Flymake, ElDoc, a quick fix, an edit and eglot-shutdown checked")
(kill-emacs 0)
